-- Globals, _G, getfenv/setfenv
x_global = 5
print(_G.x_global, _G["x_global"], _G._G == _G)
_G.y_global = "via _G"
print(y_global)
local function reader() return x_global end
local env = {x_global = "sandboxed"}
setfenv(reader, env)
print(reader(), x_global)
print(getfenv(reader) == env, getfenv(print) == _G or getfenv(print) ~= nil)
local function with_fallback()
  local f = function() return z_global, print ~= nil end
  setfenv(f, setmetatable({z_global = "z"}, {__index = _G}))
  return f()
end
print(with_fallback())
local chunk = loadstring("a_var = 1; return a_var + (b_var or 0)")
local box = {b_var = 10}
setfenv(chunk, box)
print(chunk(), box.a_var, a_var)
local function level_test()
  return getfenv(1) == _G
end
print(level_test())
print(type(_VERSION), string.sub(_VERSION, 1, 4))
local count = 0
for k, v in pairs(_G) do if k == "string" or k == "table" or k == "math" then count = count + 1 end end
print(count)
print(rawget(_G, "x_global"), rawset(_G, "w_global", 3) == _G, w_global)
