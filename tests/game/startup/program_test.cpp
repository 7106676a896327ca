// The program itself under the offscreen driver, on the game's data: it starts, shows its
// menu, idles, and ends with exit code 0 through its quit path once the system asks it to.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Reads the child's log until `until` appears or the time runs out.
bool ReadUntil(int fd, std::string& log, const std::string& until, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (log.find(until) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, int(left.count())) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return log.find(until) != std::string::npos;
        log.append(buffer, size_t(n));
    }
    return true;
}

TEST(Program, StartsIdlesAndQuitsWithExitCodeZero)
{
    char pattern[] = "/tmp/tv_program_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string temp = pattern;
    setenv("XDG_DATA_HOME", (temp + "/share").c_str(), 1);
    setenv("HOME", temp.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    setenv("TESSIVANDER_RESOURCES", TV_ASSETS_RESOURCE_DIR, 1);

#if defined(__SANITIZE_ADDRESS__)
    // The GL driver's process-lifetime allocations are reported from a module that is already
    // unloaded at exit and cannot be told apart; the platform's own code is leak-checked by
    // the in-process tests.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif

    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char program[] = TV_PROGRAM_PATH;
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);

    std::string log;
    EXPECT_TRUE(ReadUntil(pipeFds[0], log, "tessivander, version 1.0.0.\n", 20000)) << log;
    // A signal before the menu could meet a start-up that a loaded machine holds past the
    // quit deadline; the idle loop is what is asked of here.
    EXPECT_TRUE(ReadUntil(pipeFds[0], log, "Menu shown: layouts/mainmenu.lua", 20000)) << log;
    // Let it run idle ticks for a moment, then ask it to quit as the desktop would.
    usleep(300 * 1000);
    kill(pid, SIGTERM);
    EXPECT_TRUE(ReadUntil(pipeFds[0], log, "QUITTING THE APP!\n", 20000)) << log;
    ReadUntil(pipeFds[0], log, "\x01never", 2000);
    close(pipeFds[0]);

    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << log;
    EXPECT_EQ(WEXITSTATUS(status), 0) << log;
    EXPECT_EQ(log.find("Unhandled exception"), std::string::npos) << log;
    EXPECT_EQ(log.find("aglGetError"), std::string::npos) << log;
    EXPECT_EQ(log.find("cannot go on"), std::string::npos) << log;
    EXPECT_EQ(log.find("did not take the quit signal in time"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::is_directory(temp + "/share/tessivander"));
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
}

}  // namespace
