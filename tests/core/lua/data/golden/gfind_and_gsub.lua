-- gfind, and gsub with a function that returns no string
for w in string.gfind("one two  three", "%a+") do io.write("<", w, ">") end
print()
for k, v in string.gfind("a=1, b=22", "(%w+)=(%w+)") do io.write(k, ":", v, " ") end
print()
local count = 0
for m in string.gfind("baaac", "a*") do count = count + 1 io.write("[", m, "]") end
print(count)
for pos in string.gfind("abc", "()") do io.write(pos, " ") end
print()
print(string.gsub("hello world", "%w+", function(w) if w == "hello" then return "HI" end end))
print(string.gsub("abc", "b", function() return false end))
print(string.gsub("a1b2", "%d", function(d) return d * 2 end))
print(string.gsub("abc", "%w", "%1%1"))
print(string.gmatch, string.gfind ~= nil)
