#include "game/demo/private_display.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The display number the server writes once it takes connections.
std::string ReadDisplayNumber(int fd, int ms)
{
    std::string number;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char c;
        if (read(fd, &c, 1) != 1)
            break;
        if (c == '\n')
            return number;
        number += c;
    }
    return std::string();
}

}  // namespace

pid_t SpawnQuietly(std::vector<std::string> args, int keepFd)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (keepFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

TPrivateDisplay::TPrivateDisplay(int width, int height) : mWidth(width), mHeight(height)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
    mPid = SpawnQuietly({"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", size}, fds[1]);
    close(fds[1]);
    const std::string number = mPid > 0 ? ReadDisplayNumber(fds[0], 10000) : std::string();
    close(fds[0]);
    if (!number.empty())
        mName = ":" + number;
}

void TPrivateDisplay::Kill()
{
    if (mPid <= 0)
        return;
    kill(mPid, SIGTERM);
    waitpid(mPid, nullptr, 0);
    mPid = -1;
}
