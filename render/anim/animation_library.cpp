#include "render/anim/animation_library.h"

const char* const kAnimationLibraryChunkName = "ganimationscript";

const char* const kAnimationLibrarySource = R"LUA(
local framedelay = 16
alpha = 1
alphadelta = 0
alphacount = 0

function delay(ms) framedelay = ms end
function pause(ms) WaitLuaNextFrame(ms) end
function showFrame() WaitLuaNextFrame(framedelay) end
function fadeout(n) alphadelta = -alpha / n; alphacount = n end
function fadein(n) alphadelta = (1 - alpha) / n; alphacount = n end
function setAlpha(a) alpha = a; SetAlpha(a) end

function frames(list)
  count = table.getn(list)
  for i = 1, count do
    frame = list[i]
    if alphacount ~= 0 then
      alpha = alpha + alphadelta
      SetAlpha(alpha)
      alphacount = alphacount - 1
      if alphacount == 0 then alphadelta = 0 end
    end
    SetCurrentFrame(frame - 1)
    WaitLuaNextFrame(framedelay)
  end
end

function loop(times, list)
  for i = 1, times do frames(list) end
end

function run(t)
  local description = t[1]
  local image = t.image or ""
  local mask = t.mask or ""
  local name = t.anim or "DoAnim"
  if Load(description, image, mask) then
    local f = loadstring(GetScript() .. "; " .. name .. "()")
    if f then f() end
  end
end

function die() Die() end
function halt() Pause(true, -1) end
function isPlaying(depth) return IsPlaying(depth or -1) end
function stop(depth) Pause(true, depth or -1) end
function random(min, max) return Random(min, max) end
function endReferences() end
)LUA";
