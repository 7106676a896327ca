-- Method calls through metatables and __index chains
local Point = {}
Point.__index = Point
function Point.new(x, y) return setmetatable({x = x, y = y}, Point) end
function Point:add(o) return Point.new(self.x + o.x, self.y + o.y) end
function Point:len2() return self.x * self.x + self.y * self.y end
local Derived = setmetatable({}, {__index = Point})
Derived.__index = Derived
function Derived.new(x, y) return setmetatable({x = x, y = y}, Derived) end
local p = Point.new(0, 0)
local d = Derived.new(1, 1)
local acc = 0
for i = 1, 2000000 do
  p = p:add(d)
  acc = acc + d:len2()
end
local V = setmetatable({}, {__add = function(a, b) return a end})
for i = 1, 500000 do V = V + V end
print(p.x, p.y, acc)
