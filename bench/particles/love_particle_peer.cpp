#include "love_particle_peer.h"

#include "bench/common/love_project.h"

#include <sstream>

namespace {

// The same effect as the engine's description: 2 s lives, speeds 20..60 in every direction,
// spin -3..3, white to transparent orange, size 0.5 to 1.5, N/2 new particles per second.
const char* const kMainLua = R"LUA(
local N, FRAMES, WARMUP = %d, %d, 30
local ps

function love.load()
  local img = love.graphics.newImage("spark.png")
  ps = love.graphics.newParticleSystem(img, N)
  ps:setParticleLifetime(2, 2)
  ps:setEmissionRate(N / 2)
  ps:setSpeed(20, 60)
  ps:setSpread(6.2831853)
  ps:setRotation(0, 6.2831853)
  ps:setSpin(-3, 3)
  ps:setColors(1, 1, 1, 1, 1, 0.5, 0, 0)
  ps:setSizes(0.5, 1.5)
  ps:emit(N)
end

function love.run()
  love.load()
  local frame, update, draw = 0, 0, 0
  local updates, draws = {}, {}
  local function median(t)
    table.sort(t)
    return t[math.floor(#t / 2) + 1]
  end
  return function()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    local t0 = love.timer.getTime()
    ps:update(0.016)
    local t1 = love.timer.getTime()
    love.graphics.origin()
    love.graphics.clear(0, 0, 0, 1)
    love.graphics.draw(ps, 400, 300)
    love.graphics.present()
    local t2 = love.timer.getTime()
    frame = frame + 1
    if frame > WARMUP then
      update = update + (t1 - t0)
      draw = draw + (t2 - t1)
      updates[#updates + 1] = t1 - t0
      draws[#draws + 1] = t2 - t1
    end
    if frame == WARMUP + FRAMES then
      print(string.format("update %%.4f draw %%.4f medupdate %%.4f meddraw %%.4f count %%d", update * 1000 / FRAMES,
                          draw * 1000 / FRAMES, median(updates) * 1000, median(draws) * 1000, ps:getCount()))
      io.stdout:flush()
      return 0
    end
  end
end
)LUA";

}  // namespace

TLoveParticleResult RunLoveParticlePeer(int count, int frames, const std::string& imagePath, std::string* note)
{
    TLoveParticleResult result;
    std::string output;
    if (!RunLoveProject(FormatLoveScript(kMainLua, count, frames), imagePath, "spark.png", &output, note))
        return result;
    std::istringstream in(output);
    std::string word;
    while (in >> word) {
        if (word == "update")
            in >> result.updateMs;
        else if (word == "draw")
            in >> result.drawMs;
        else if (word == "medupdate")
            in >> result.updateMedianMs;
        else if (word == "meddraw")
            in >> result.drawMedianMs;
    }
    if (result.updateMs < 0 || result.drawMs < 0)
        *note = "love printed no timings";
    return result;
}
