-- Operator precedence and associativity
print(1 + 2 * 3, (1 + 2) * 3, 2 * 3 + 4 * 5, 10 - 4 - 3, 100 / 10 / 5)
print(-2 + 3, - -2, not nil, not 0, not not false)
print("a" .. "b" .. "c", "a" .. 1 + 2, 1 .. 2 == "12")
print(1 < 2 and 2 < 3, 1 < 2 == true, "x" == "x" and "y" or "z")
print(nil or false, false or nil, nil and 1, 1 and nil, 0 or 1, false and error("no"))
print(1 == 1.0, 1 ~= 2, not (1 > 2), 3 >= 3, 2 <= 1)
local a, b, c = 1, 2
print(a, b, c)
a, b = b, a
print(a, b)
local t = {}
local i = 1
i, t[i] = i + 1, 20
print(i, t[1], t[2])
local function two() return 1, 2 end
local x, y, z = two()
print(x, y, z)
print(two(), two())
print((two()))
local u = {two(), two()}
print(u[1], u[2], u[3], u[4])
print(2 * -3, -3 * -3, 1 - -1)
