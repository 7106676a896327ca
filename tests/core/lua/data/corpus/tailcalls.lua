-- Tail calls do not grow the stack
local function loop(n, acc)
  if n == 0 then return acc end
  return loop(n - 1, acc + 1)
end
print(loop(200000, 0))
local even, odd
function even(n) if n == 0 then return true end return odd(n - 1) end
function odd(n) if n == 0 then return false end return even(n - 1) end
print(even(100001), odd(100001))
local function ret3() return 1, 2, 3 end
local function tail() return ret3() end
print(tail())
local function count(n) if n > 0 then return count(n - 1) end return "done" end
print(count(50000))
local obj = {n = 0}
function obj:step(k) if k == 0 then return self.n end self.n = self.n + 1 return self:step(k - 1) end
print(obj:step(30000))
local function deep(n) if n == 0 then return 0 end return 1 + deep(n - 1) end
print(deep(5000))
