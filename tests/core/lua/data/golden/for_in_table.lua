-- A table as the generic for's expression iterates with next
local t = {a = 1, b = 2, c = 3}
local keys = {}
for k, v in t do table.insert(keys, k .. "=" .. v) end
table.sort(keys)
print(table.concat(keys, " "))
local n = 0
for k in {10, 20, 30} do n = n + k end
print(n)
for k, v in {} do print("never") end
print("end")
