-- Numbers turned into text by concatenation and tostring, around the whole-number limits
local z = 0
local values = {0, -z, 1, -1, 7, 99999999999999, -99999999999999, 100000000000000,
  -100000000000000, 123456789012345, 2147483648, -2147483648, 9007199254740992, 0.5, -0.25, 1/3, 1e300, -1e-300,
  1/0, -1/0, 3.0000000000001, 12345678901234.5}
for i = 1, table.getn(values) do
  local v = values[i]
  print(i, v .. "", "<" .. v .. ">", tostring(v), v .. v, "a" .. v .. "b" .. i)
end
local nan = 0/0
print((nan .. "") == tostring(nan))
