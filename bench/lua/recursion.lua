-- Recursive calls: naive Fibonacci and Ackermann
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
local function ack(m, n)
  if m == 0 then return n + 1 end
  if n == 0 then return ack(m - 1, 1) end
  return ack(m - 1, ack(m, n - 1))
end
print(fib(32), ack(2, 500), ack(3, 6))
