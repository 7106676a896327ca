-- Seeded random expressions, compiled with loadstring and printed: precedence, coercion,
-- comparison and logic operators against the peer interpreter
local seed = 20240601
local function rand(n)
  seed = math.mod(seed * 16807, 2147483647)
  return math.mod(seed, n)
end
local atoms = {"1", "2", "3.5", "0.25", "10", "7", "'4'", "'1.5'", "-2", "100", "0"}
local arith = {" + ", " - ", " * ", " / "}
local function arith_expr(depth)
  if depth == 0 or rand(4) == 0 then return atoms[rand(table.getn(atoms)) + 1] end
  local r = rand(6)
  if r == 0 then return "(" .. arith_expr(depth - 1) .. ")" end
  if r == 1 then return "-(" .. arith_expr(depth - 1) .. ")" end
  return arith_expr(depth - 1) .. arith[rand(4) + 1] .. arith_expr(depth - 1)
end
local cmp = {" < ", " <= ", " > ", " >= ", " == ", " ~= "}
local logic = {" and ", " or "}
local function bool_expr(depth)
  local r = rand(5)
  if depth == 0 or r == 0 then return arith_expr(2) .. cmp[rand(6) + 1] .. arith_expr(2) end
  if r == 1 then return "not (" .. bool_expr(depth - 1) .. ")" end
  if r == 2 then return "(" .. bool_expr(depth - 1) .. ")" .. logic[rand(2) + 1] .. arith_expr(1) end
  return bool_expr(depth - 1) .. logic[rand(2) + 1] .. bool_expr(depth - 1)
end
for i = 1, 150 do
  local src = arith_expr(4)
  local f = assert(loadstring("return " .. src))
  print(i, src, "=", f())
end
for i = 1, 100 do
  local src = bool_expr(3)
  local ok, v = pcall(assert(loadstring("return " .. src)))
  print(i, src, "=", ok, v)
end
for i = 1, 40 do
  local a, b = arith_expr(2), arith_expr(2)
  local f = assert(loadstring("return (" .. a .. ") .. ' ' .. (" .. b .. ")"))
  print(i, f())
end
