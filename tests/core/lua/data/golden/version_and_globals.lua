-- What this version has and lacks
print(_VERSION)
print(select, string.gmatch, math.fmod, table.maxn, string.match, coroutine.running)
print(type(__pow), __pow == math.pow, __pow(2, 10))
print(type(gcinfo()), type(newproxy), type(_LOADED), type(_TRACEBACK))
print(math.mod(7, 3), math.mod(-7, 3), type(math.pi))
local p = newproxy(true)
getmetatable(p).__tostring = function() return "proxy!" end
print(tostring(p), type(p))
local q = newproxy(p)
print(tostring(q), getmetatable(q) == getmetatable(p))
print(pcall(newproxy, {}))
print(newproxy(false) ~= nil, getmetatable(newproxy(false)))
print(string.format("%5.1f|%g", 2.25, 0.5), tostring(1e15), tostring(0.1))
