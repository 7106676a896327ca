-- Metatables and metamethods
local V = {}
V.__index = V
local function vec(x, y) return setmetatable({x = x, y = y}, V) end
V.__add = function(a, b) return vec(a.x + b.x, a.y + b.y) end
V.__sub = function(a, b) return vec(a.x - b.x, a.y - b.y) end
V.__mul = function(a, b)
  if type(a) == "number" then return vec(a * b.x, a * b.y) end
  return vec(a.x * b, a.y * b)
end
V.__unm = function(a) return vec(-a.x, -a.y) end
V.__eq = function(a, b) return a.x == b.x and a.y == b.y end
V.__lt = function(a, b) return a.x < b.x end
V.__le = function(a, b) return a.x <= b.x end
V.__tostring = function(a) return "(" .. a.x .. "," .. a.y .. ")" end
V.__concat = function(a, b) return tostring(a) .. tostring(b) end
V.__call = function(self, k) return self[k] end
function V:len2() return self.x * self.x + self.y * self.y end
local a, b = vec(1, 2), vec(3, 4)
print(tostring(a + b), tostring(a - b), tostring(a * 2), tostring(3 * a), tostring(-a))
print(a == vec(1, 2), a ~= b, a < b, b <= a, a > b)
print(a .. b, a .. "!", "!" .. a)
print(a("x"), a("y"), b:len2())
local log = {}
local proxy = setmetatable({}, {
  __index = function(t, k) table.insert(log, "get " .. k); return k .. "!" end,
  __newindex = function(t, k, v) table.insert(log, "set " .. k); rawset(t, k, v) end,
})
print(proxy.foo, proxy.bar)
proxy.foo = 1
print(proxy.foo, rawget(proxy, "bar"))
print(table.concat(log, ";"))
local base = {greet = function() return "hi" end}
local mid = setmetatable({}, {__index = base})
local leaf = setmetatable({}, {__index = mid})
print(leaf.greet(), leaf.missing)
local prot = setmetatable({}, {__metatable = "locked"})
print(getmetatable(prot), pcall(setmetatable, prot, {}))
print(getmetatable({}), getmetatable(setmetatable({}, V)) == V)
local ro = setmetatable({}, {__newindex = function() error("read-only", 2) end})
print(pcall(function() ro.x = 1 end))
local counter = setmetatable({}, {__index = function(t, k) local v = 0; rawset(t, k, v); return v end})
counter.a = counter.a + 1
counter.a = counter.a + 1
print(counter.a, counter.b)
print(pcall(function() return {} + 1 end))
print(pcall(function() return {} < {} end))
print(pcall(function() return {} .. "x" end))
