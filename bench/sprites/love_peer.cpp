#include "love_peer.h"

#include "bench/common/love_project.h"

#include <sstream>

namespace {

// The scene and the frame loop: no sleeping between frames, as in the engine's run.
const char* const kMainLua = R"LUA(
local N, WARMUP, SECONDS = %d, %d, %.3f
local img, sprites = nil, {}
local seed = 12345
local function rnd() seed = (16807 * seed) %% 2147483647; return seed / 2147483647 end

function love.load()
  img = love.graphics.newImage("sprite.png")
  for i = 1, N do
    sprites[i] = { x = rnd() * 800, y = rnd() * 600, r = rnd() * 6.2831853, dr = (rnd() - 0.5) * 0.1,
                   a = 0.5 + rnd() * 0.5 }
  end
end

function love.run()
  love.load()
  local frames, t0 = 0, nil
  return function()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    for i = 1, N do local s = sprites[i]; s.r = s.r + s.dr end
    love.graphics.origin()
    love.graphics.clear(0, 0, 0, 1)
    for i = 1, N do
      local s = sprites[i]
      love.graphics.setColor(1, 1, 1, s.a)
      love.graphics.draw(img, s.x, s.y, s.r, 1, 1, 16, 16)
    end
    love.graphics.present()
    frames = frames + 1
    if frames == WARMUP then t0 = love.timer.getTime() end
    if t0 and love.timer.getTime() - t0 >= SECONDS then
      print(string.format("fps %%.3f", (frames - WARMUP) / (love.timer.getTime() - t0)))
      io.stdout:flush()
      return 0
    end
  end
end
)LUA";

}  // namespace

double RunLovePeer(const TSceneParams& scene, const std::string& imagePath, std::string* note)
{
    std::string output;
    if (!RunLoveProject(FormatLoveScript(kMainLua, scene.count, scene.warmup, scene.seconds), imagePath, "sprite.png",
                        &output, note))
        return -1;
    std::istringstream in(output);
    std::string word;
    double fps = -1;
    while (in >> word)
        if (word == "fps" && (in >> fps))
            break;
    if (fps < 0)
        *note = "love printed no frame rate";
    return fps;
}
