-- String library: find, sub, byte/char, rep, lower/upper and gsub with a function
local text = string.rep("The quick brown fox jumps over the lazy dog. ", 200)
local hits = 0
for rep = 1, 900 do
  local pos = 1
  while true do
    local s, e = string.find(text, "o%a+", pos)
    if not s then break end
    hits = hits + (e - s)
    pos = e + 1
  end
end
local sum = 0
for i = 1, 1200000 do
  local j = i - math.floor(i / 50) * 50
  local c = string.byte(text, i - math.floor(i / 9000) * 9000 + 1)
  sum = sum + c + string.len(string.sub(text, j, j + 5))
end
local words = 0
for rep = 1, 120 do
  local r = string.gsub(text, "(%a+)", function(w) words = words + 1 return string.upper(w) end)
  sum = sum + string.len(string.lower(r))
end
local chars = {}
for i = 1, 100000 do chars[i] = string.char(65 + i - math.floor(i / 26) * 26) end
print(hits, sum, words, table.getn(chars))
