#include "love_peer.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

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

const char* const kConfLua = R"LUA(
function love.conf(t)
  t.window.width = 800
  t.window.height = 600
  t.window.vsync = 0
  t.modules.audio = false
  t.modules.sound = false
  t.modules.joystick = false
  t.modules.physics = false
end
)LUA";

}  // namespace

double RunLovePeer(const TSceneParams& scene, const std::string& imagePath, std::string* note)
{
    char pattern[] = "/tmp/tv_love_XXXXXX";
    if (!mkdtemp(pattern)) {
        *note = "no temporary folder";
        return -1;
    }
    const std::filesystem::path folder(pattern);
    std::vector<char> main(8192);
    std::snprintf(main.data(), main.size(), kMainLua, scene.count, scene.warmup, scene.seconds);
    std::ofstream(folder / "main.lua") << main.data();
    std::ofstream(folder / "conf.lua") << kConfLua;
    std::error_code ec;
    std::filesystem::copy_file(imagePath, folder / "sprite.png", ec);

    const std::string output = (folder / "out.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string dir = folder.string();
    std::array<char*, 3> argv{const_cast<char*>("love"), const_cast<char*>(dir.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "love", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    double fps = -1;
    if (spawned != 0) {
        *note = "love is not installed";
    } else {
        int status = 0;
        waitpid(pid, &status, 0);
        std::ifstream in(output);
        std::string word;
        while (in >> word)
            if (word == "fps" && (in >> fps))
                break;
        if (fps < 0)
            *note = "love printed no frame rate";
    }
    std::filesystem::remove_all(folder, ec);
    return fps;
}
