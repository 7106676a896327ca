#include "bench/common/love_project.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

const char* const kLoveBenchConf = R"LUA(
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

std::string FormatLoveScript(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(size_t(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        text.assign(buffer.data(), size_t(length));
    }
    va_end(again);
    return text;
}

bool RunLoveProject(const std::string& mainLua, const std::string& imagePath, const std::string& imageName,
                    std::string* output, std::string* note)
{
    char pattern[] = "/tmp/tv_love_XXXXXX";
    if (!mkdtemp(pattern)) {
        *note = "no temporary folder";
        return false;
    }
    const std::filesystem::path folder(pattern);
    std::ofstream(folder / "main.lua") << mainLua;
    std::ofstream(folder / "conf.lua") << kLoveBenchConf;
    std::error_code ec;
    std::filesystem::copy_file(imagePath, folder / imageName, ec);

    const std::string outputPath = (folder / "out.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string dir = folder.string();
    std::array<char*, 3> argv{const_cast<char*>("love"), const_cast<char*>(dir.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "love", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *note = "love is not installed";
    } else {
        int status = 0;
        waitpid(pid, &status, 0);
        std::ifstream in(outputPath);
        output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove_all(folder, ec);
    return spawned == 0;
}
