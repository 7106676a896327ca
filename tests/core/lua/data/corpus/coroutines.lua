-- Coroutines: resume/yield values, status, errors, wrap
local co = coroutine.create(function(a, b)
  print("start", a, b)
  local c = coroutine.yield(a + b)
  print("got", c)
  local d, e = coroutine.yield(c * 2)
  print("got", d, e)
  return "done", 99
end)
print(coroutine.status(co))
print(coroutine.resume(co, 1, 2))
print(coroutine.status(co))
print(coroutine.resume(co, 10))
print(coroutine.resume(co, "x", "y"))
print(coroutine.status(co))
print(coroutine.resume(co))
local gen = coroutine.wrap(function()
  for i = 1, 3 do coroutine.yield(i) end
  return "end"
end)
print(gen(), gen(), gen(), gen())
local function range(n)
  return coroutine.wrap(function() for i = 1, n do coroutine.yield(i) end end)
end
local sum = 0
for v in range(100) do sum = sum + v end
print(sum)
local bad = coroutine.create(function() error("oops") end)
local ok, msg = coroutine.resume(bad)
print(ok, string.gsub(msg, "^.-:%d+: ", ""))
print(coroutine.status(bad))
print(coroutine.resume(bad))
local bad2 = coroutine.create(function() error({code = 7}) end)
local ok2, obj = coroutine.resume(bad2)
print(ok2, type(obj), obj.code)
local w = coroutine.wrap(function() error("inside wrap") end)
local ok3, m3 = pcall(w)
print(ok3, string.gsub(m3, "^.-:%d+: ", ""))
local inner = coroutine.create(function()
  local sub = coroutine.create(function() coroutine.yield("sub1"); return "sub2" end)
  print("inner", coroutine.resume(sub))
  coroutine.yield("outer1")
  print("inner", coroutine.resume(sub))
  print("inner", coroutine.status(sub))
end)
print(coroutine.resume(inner))
print(coroutine.resume(inner))
print(coroutine.status(inner))
local function producer()
  return coroutine.create(function()
    for _, v in ipairs({"a", "b", "c"}) do coroutine.yield(v) end
  end)
end
local p = producer()
local out = {}
while true do
  local ok, v = coroutine.resume(p)
  if not v then break end
  table.insert(out, v)
end
print(table.concat(out))
