-- Closures made in a loop share the loop's control variables
local f = {}
for i = 1, 3 do f[i] = function() return i end end
print(f[1](), f[2](), f[3]())
local g = {}
for i = 1, 3 do local j = i f[i] = function() return j end end
print(f[1](), f[2](), f[3]())
local h = {}
for k, v in ipairs({10, 20}) do h[k] = function() return k, v end end
print(h[1]())
