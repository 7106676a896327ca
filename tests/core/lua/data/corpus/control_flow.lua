-- Loops, break, nested functions, varied control flow
local out = {}
for i = 1, 10 do
  if i == 7 then break end
  if math.mod(i, 2) == 0 then table.insert(out, i) end
end
print(table.concat(out, " "))
local n = 0
while true do n = n + 1 if n >= 5 then break end end
print(n)
local r = 0
repeat r = r + 2 until r > 7
print(r)
local total = 0
for i = 1, 3 do for j = 1, 3 do if j > i then break end total = total + j end end
print(total)
for i = 3, 1 do print("never") end
for i = 1, 0, 1 do print("never") end
local fsum = 0
for x = 0.1, 1, 0.1 do fsum = fsum + 1 end
print(fsum)
local function classify(v)
  if v < 0 then return "neg" elseif v == 0 then return "zero" elseif v < 10 then return "small" else return "big" end
end
print(classify(-1), classify(0), classify(5), classify(50))
local t = {}
do local inner = "scoped" t.v = inner end
print(t.v, inner)
local i = 1
local acc = {}
while i <= 3 do
  local j = 1
  repeat
    table.insert(acc, i .. j)
    j = j + 1
  until j > i
  i = i + 1
end
print(table.concat(acc, ","))
local function multi() return 1, nil, 3 end
local a, b, c = multi()
print(a, b, c)
local obj = {value = 10}
function obj.get(self) return self.value end
function obj:add(d) self.value = self.value + d return self end
print(obj:add(5):add(1):get())
