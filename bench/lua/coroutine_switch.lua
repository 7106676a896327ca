-- Coroutine switches: a generator and a producer/consumer pair
local gen = coroutine.wrap(function() for i = 1, 3000000 do coroutine.yield(i) end end)
local s = 0
for i = 1, 3000000 do s = s + gen() end
local producer = coroutine.create(function()
  for i = 1, 500000 do coroutine.yield(i * 2) end
end)
local t = 0
while true do
  local ok, v = coroutine.resume(producer)
  if not v then break end
  t = t + v
end
print(s, t)
