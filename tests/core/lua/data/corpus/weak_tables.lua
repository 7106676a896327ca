-- Weak tables lose entries that nothing else refers to
local function count(t) local n = 0 for _ in pairs(t) do n = n + 1 end return n end
local weakk = setmetatable({}, {__mode = "k"})
local weakv = setmetatable({}, {__mode = "v"})
local strong = {}
local keep = {}
for i = 1, 10 do
  local key = {}
  weakk[key] = i
  weakv[i] = {}
  strong[i] = {}
  if i <= 3 then keep[i] = key end
end
weakv[100] = keep
collectgarbage()
collectgarbage()
print(count(weakk), count(weakv), count(strong))
print(weakv[100] == keep)
local cache = setmetatable({}, {__mode = "kv"})
cache["str"] = "value"
cache[1] = 2
collectgarbage()
print(cache["str"], cache[1])
local gcmarks = setmetatable({}, {__mode = "k"})
do
  local obj = {}
  gcmarks[obj] = true
  print(count(gcmarks))
end
collectgarbage()
print(count(gcmarks))
