-- Number formatting and string/number coercions
print(1, 1.5, -2.25, 1/3, 2/3, 10/2, 1e15, 1e16, 1e100, 123456789012345)
print(0.1 + 0.2, 100 * 1.1, 1e-5, 5e-324 > 0, 3 - 5)
print("10" + 1, "3" * "4", " 10 " + 1, "10e1" + 0, "1.5" * 2, 10 .. 20)
print(1 .. "", 1.25 .. "|", -0.5 .. "")
print(tostring(12), tostring(1e300 * 10) == tostring(1e309), tostring(-1e309))
print(tonumber("42"), tonumber("  7  "), tonumber("1e2"), tonumber("abc"), tonumber(""))
print(tonumber("10", 2), tonumber("ff", 16), tonumber("FF", 16), tonumber("z", 36), tonumber("8", 8))
print(tonumber("777", 8), tonumber(" 11 ", 2), tonumber("12", 3), tonumber(5))
print("10" == 10, "abc" < "abd", "Z" < "a", "10" < "9", "" < "a")
print(math.floor(3.7), math.floor(-3.5), math.ceil(3.2), math.ceil(-3.2), math.abs(-4))
print(math.max(1, 5, 3), math.min(4, -2, 8), math.sqrt(16), math.mod(7, 3), math.mod(-7, 3))
print(string.format("%.4f", math.pi), math.floor(math.sin(math.pi / 2) + 0.5), math.cos(0))
print(math.exp(0), math.log(1), math.log10(1000), math.deg(math.pi), math.rad(180) == math.pi)
print(math.pow(2, 10), math.frexp(8), math.ldexp(0.5, 4), math.atan2(1, 1) * 4 == math.pi)
local big = 2147483647
print(big + 1, big * 2, -big - 1)
for i = 1, 3, 0.5 do io.write(i, " ") end
print()
for i = 10, 1, -3 do io.write(i, " ") end
print()
