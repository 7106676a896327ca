#include "love_particle_peer.h"

#include "bench/common/love_project.h"

#include <sstream>

namespace {

// The same effect as the engine's description: lives of L seconds, speeds 20..60 in every
// direction, spin -3..3, white to transparent orange, size 0.5 to 1.5, N/L new particles per
// second (none fit while the pool is full). os.clock is the process's CPU time.
const char* const kMainLua = R"LUA(
local N, FRAMES, WARMUP, LIFE, DRAWING = %d, %d, %d, %.3f, %s
local ps

function love.load()
  local img = love.graphics.newImage("spark.png")
  ps = love.graphics.newParticleSystem(img, N)
  ps:setParticleLifetime(LIFE, LIFE)
  ps:setEmissionRate(N / LIFE)
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
  local frame = 0
  local now, cpu = love.timer.getTime, os.clock
  return function()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    local w0, c0 = now(), cpu()
    ps:update(0.016)
    local w1, c1 = now(), cpu()
    if DRAWING then
      love.graphics.origin()
      love.graphics.clear(0, 0, 0, 1)
      love.graphics.draw(ps, 400, 300)
      love.graphics.present()
    end
    local w2, c2 = now(), cpu()
    frame = frame + 1
    if frame > WARMUP then
      print(string.format("s %%.6f %%.6f %%.6f %%.6f %%d", (w1 - w0) * 1000, (c1 - c0) * 1000, (w2 - w0) * 1000,
                          (c2 - c0) * 1000, ps:getCount()))
    end
    if frame == WARMUP + FRAMES then
      io.stdout:flush()
      return 0
    end
  end
end
)LUA";

}  // namespace

TParticleSamples RunLoveParticlePeer(const TParticleRun& run, const std::string& imagePath, std::string* note)
{
    TParticleSamples samples;
    std::string output;
    const std::string script =
        FormatLoveScript(kMainLua, run.count, run.frames, run.warmup, run.lifeSeconds, run.drawing ? "true" : "false");
    if (!RunLoveProject(script, imagePath, "spark.png", &output, note))
        return samples;
    std::istringstream in(output);
    std::string word;
    while (in >> word) {
        if (word != "s")
            continue;
        double uw = 0, uc = 0, fw = 0, fc = 0;
        int live = 0;
        if (!(in >> uw >> uc >> fw >> fc >> live))
            break;
        samples.updateWall.push_back(uw);
        samples.updateCpu.push_back(uc);
        samples.frameWall.push_back(fw);
        samples.frameCpu.push_back(fc);
        samples.AddLive(live);
    }
    if (samples.Empty())
        *note = "love printed no timings";
    return samples;
}
