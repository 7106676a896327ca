-- require searches LUA_PATH, records packages in _LOADED and runs each once
local dir = string.gsub(arg[0], "[^/]*$", "")
LUA_PATH = dir .. "modules/?.lm;" .. dir .. "nothing/?.x"
local g = require("greeter")
print(g.name, g.greet("world"), loads)
local again = require("greeter")
print(again == g, loads, _LOADED["greeter"] == g, _REQUIREDNAME)
print(require("noreturn"), side_effect, _LOADED["noreturn"])
local ok, msg = pcall(require, "missing")
print(ok, string.find(msg, "could not load package `missing' from path", 1, true) ~= nil)
local ok2, msg2 = pcall(require, "broken")
print(ok2, string.find(msg2, "error loading package `broken'", 1, true) ~= nil)
