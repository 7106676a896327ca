-- Runs the script named by arg[1] from the dump of its compiled main chunk.
local f = assert(loadfile(arg[1]))
local g = assert(loadstring(string.dump(f)))
g()
