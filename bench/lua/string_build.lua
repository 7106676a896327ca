-- String building with concatenation, table.concat and string.format
local parts = {}
for i = 1, 300000 do parts[i] = string.format("%d:%5.2f;", i, i / 7) end
local joined = table.concat(parts)
local s = ""
for i = 1, 20000 do s = s .. "x" end
local n = 0
for w in string.gfind and string.gfind(joined, "%d+:") or string.gmatch(joined, "%d+:") do n = n + 1 end
local r, c = string.gsub(joined, ";", ",")
print(string.len(joined), string.len(s), n, c, string.upper(string.sub(r, 1, 10)))
