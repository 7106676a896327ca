-- Closures: creation, upvalue reads and writes, higher-order calls
local function counter()
  local n = 0
  return function(d) n = n + d return n end
end
local total = 0
for i = 1, 900000 do
  local c = counter()
  c(i) c(1)
  total = total + c(0)
end
local function map(t, f)
  local r = {}
  for i = 1, table.getn(t) do r[i] = f(t[i]) end
  return r
end
local base = {}
for i = 1, 100 do base[i] = i end
local acc = 0
for rep = 1, 60000 do
  local k = rep - math.floor(rep / 7) * 7
  local m = map(base, function(x) return x * k + 1 end)
  acc = acc + m[100]
end
print(total, acc)
