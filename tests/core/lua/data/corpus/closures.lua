-- Closures and upvalues
local function counter()
  local n = 0
  return function() n = n + 1; return n end, function() return n end
end
local inc, get = counter()
inc(); inc()
print(get(), inc(), get())
local c2 = counter()
print(c2(), inc())
local fns = {}
for i = 1, 3 do
  local j = i * 10
  fns[i] = function() return j end
end
print(fns[1](), fns[2](), fns[3]())
local adders = {}
local k = 1
while k <= 3 do
  local captured = k
  adders[k] = function(x) return x + captured end
  k = k + 1
end
print(adders[1](100), adders[3](100))
local function make()
  local shared = 0
  local function a() shared = shared + 1 end
  local function b() shared = shared * 10 end
  return a, b, function() return shared end
end
local fa, fb, fg = make()
fa(); fb(); fa()
print(fg())
local function fact(n) if n <= 1 then return 1 end return n * fact(n - 1) end
print(fact(10), fact(20))
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print(fib(20))
local function compose(f, g) return function(x) return f(g(x)) end end
local h = compose(function(x) return x * 2 end, function(x) return x + 3 end)
print(h(4))
local function outer()
  local x = "outer"
  local function mid()
    local function inner() return x end
    return inner
  end
  x = "changed"
  return mid()
end
print(outer()())
do
  local a = 1
  local f = function() return a end
  a = 2
  print(f())
end
