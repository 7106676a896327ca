-- Building strings piece by piece, gsub-driven transforms, gfind-free scanning
local parts = {}
for i = 1, 100 do parts[i] = string.format("%03d", i) end
local joined = table.concat(parts, ",")
print(string.len(joined), string.sub(joined, 1, 11), string.sub(joined, -7))
local s = ""
for i = 1, 50 do s = s .. i end
print(string.len(s), s)
local big = string.rep("abc", 10000)
print(string.len(big), string.sub(big, 29998))
local replaced, n = string.gsub(big, "b", "XY")
print(string.len(replaced), n)
local csv = "name,age,city"
local fields = {}
local pos = 1
while true do
  local s1, e1 = string.find(csv, ",", pos, true)
  if not s1 then table.insert(fields, string.sub(csv, pos)) break end
  table.insert(fields, string.sub(csv, pos, s1 - 1))
  pos = e1 + 1
end
print(table.getn(fields), table.concat(fields, "|"))
local function trim(x) return (string.gsub(x, "^%s*(.-)%s*$", "%1")) end
print("[" .. trim("   padded   ") .. "]", "[" .. trim("") .. "]")
local function title(x) return (string.gsub(x, "(%a)(%w*)", function(a, b) return string.upper(a) .. b end)) end
print(title("the quick brown fox"))
local escaped = string.gsub("a<b>&c", "[<>&]", function(c)
  if c == "<" then return "&lt;" elseif c == ">" then return "&gt;" else return "&amp;" end
end)
print(escaped)
local rev = {}
local word = "reverse"
for i = string.len(word), 1, -1 do table.insert(rev, string.sub(word, i, i)) end
print(table.concat(rev))
print(string.format("%-10s|%10s|", "left", "right") .. string.rep("=", 5))
local bytes = {}
for i = 1, string.len("Lua") do bytes[i] = string.byte("Lua", i) end
print(table.concat(bytes, " "), string.char(unpack(bytes)))
