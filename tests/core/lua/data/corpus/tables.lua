-- Table constructors, fields, table library
local function sorted_pairs(t)
  local keys = {}
  for k in pairs(t) do table.insert(keys, tostring(k)) end
  table.sort(keys)
  return keys
end
local t = {10, 20, 30, x = 1, ["y z"] = 2, [5] = 50}
print(t[1], t[3], t.x, t["y z"], t[5], t[4])
print(table.concat(sorted_pairs(t), ","))
local list = {}
for i = 1, 10 do table.insert(list, i * i) end
print(table.getn(list), table.concat(list, " "))
table.insert(list, 1, 0)
table.insert(list, 3, -1)
print(table.getn(list), table.concat(list, " "))
print(table.remove(list), table.remove(list, 1), table.remove(list, 2), table.getn(list))
print(table.concat(list, ", "), table.concat(list, "-", 2, 4), table.concat({}, "x") == "")
print(table.concat({1, 2.5, "three"}, " "))
local words = {"pear", "apple", "fig", "banana", "cherry"}
table.sort(words)
print(table.concat(words, " "))
table.sort(words, function(a, b) return string.len(a) < string.len(b) or (string.len(a) == string.len(b) and a < b) end)
print(table.concat(words, " "))
local nums = {5, 3, 8, 1, 9, 2, 7, 4, 6, 0, 5, 3}
table.sort(nums, function(a, b) return a > b end)
print(table.concat(nums, " "))
local many = {}
for i = 1, 200 do many[i] = math.mod(i * 37, 101) end
table.sort(many)
local ok = true
for i = 2, 200 do if many[i - 1] > many[i] then ok = false end end
print(ok, many[1], many[200])
print(pcall(table.sort, {3, "a", 1}))
local seen = {}
table.foreach({a = 1, b = 2}, function(k, v) table.insert(seen, k .. "=" .. v) end)
table.sort(seen)
print(table.concat(seen, " "))
table.foreachi({"x", "y"}, function(i, v) io.write(i, v, " ") end)
print()
print(table.foreachi({1, 2, 3}, function(i, v) if v == 2 then return "stop" .. i end end))
print(unpack({1, 2, 3}))
print(next({}), type(next), rawget({5}, 1), rawequal(t, t), rawequal({}, {}))
local nested = {a = {b = {c = "deep"}}}
print(nested.a.b.c, nested["a"]["b"].c)
local cnt = 0
for i, v in ipairs({1, 2, 3, nil, 5}) do cnt = cnt + 1 end
print(cnt)
local keys = {}
for k, v in pairs({1, 2, 3, a = 4}) do keys[tostring(k)] = v end
print(keys["1"], keys["2"], keys["3"], keys.a)
local t2 = {}
t2[1.5] = "f"; t2[-1] = "neg"; t2[true] = "b"
print(t2[1.5], t2[-1], t2[true], t2[false])
