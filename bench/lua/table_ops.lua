-- Table inserts, array reads and string-keyed lookups
local t = {}
for i = 1, 1000000 do t[i] = i end
local s = 0
for rep = 1, 5 do for i = 1, 1000000 do s = s + t[i] end end
local h = {}
for i = 1, 200000 do h["k" .. i] = i end
local found = 0
for rep = 1, 5 do for i = 1, 200000 do if h["k" .. i] then found = found + 1 end end end
local list = {}
for i = 1, 300000 do table.insert(list, i) end
print(s, found, table.getn(list))
