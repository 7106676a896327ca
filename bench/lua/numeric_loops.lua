-- Numeric for and while loops with floating arithmetic
local sum = 0
for i = 1, 20000000 do sum = sum + i * 0.5 - i / 3 end
local x, n = 1, 0
while n < 5000000 do x = x * 1.0000001 + 0.5 n = n + 1 end
print(string.format("%.6g %.6g", sum, x))
