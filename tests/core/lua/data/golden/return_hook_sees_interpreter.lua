-- A return hook set by the main chunk sees sethook return, the chunk return, and then the
-- interpreter's own protected call that ran the chunk.
local function hook(event)
  local info = debug.getinfo(2, "S")
  io.write(event, " ", info.what, "\n")
end
debug.sethook(hook, "r")
