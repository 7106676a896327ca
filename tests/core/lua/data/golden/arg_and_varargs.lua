-- The command's `arg' table and the implicit `arg' of vararg functions
print(arg.n, arg[1], arg[2], arg[3])
print(string.find(arg[0], "arg_and_varargs.lua$") ~= nil, type(arg[-1]))
local function count(...) return arg.n, arg[1], arg[2], arg[3] end
print(count())
print(count(1, nil, 3))
local function pass(...) return unpack(arg) end
print(pass("a", "b"))
local function first(a, ...) return a, arg.n end
print(first(1, 2, 3))
