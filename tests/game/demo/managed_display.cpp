#include "game/demo/managed_display.h"

#include "common/command_output.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(std::vector<std::string> args, int keepFd = -1)
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

void End(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

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

int Field(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

}  // namespace

TManagedDisplay::TManagedDisplay()
{
    for (const char* tool : {"Xvfb", "openbox", "xwininfo", "xdotool", "xprop"}) {
        if (CommandOutput(std::string("command -v ") + tool).empty())
            mMissing += std::string(mMissing.empty() ? "not installed: " : ", ") + tool;
    }
    if (!mMissing.empty())
        return;
    int fds[2];
    if (pipe(fds) != 0) {
        mMissing = "no pipe for the display server";
        return;
    }
    const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
    mServer = Spawn({"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", size}, fds[1]);
    close(fds[1]);
    const std::string number = mServer > 0 ? ReadDisplayNumber(fds[0], 10000) : std::string();
    close(fds[0]);
    if (number.empty()) {
        mMissing = "the display server did not start";
        return;
    }
    mName = ":" + number;
    if (const char* old = std::getenv("DISPLAY")) {
        mOldDisplay = old;
        mHadDisplay = true;
    }
    setenv("DISPLAY", mName.c_str(), 1);
    mManager = Spawn({"openbox"});
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") == std::string::npos) {
        if (Clock::now() >= end) {
            mMissing = "the window manager did not start";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

TManagedDisplay::~TManagedDisplay()
{
    End(mManager);
    End(mServer);
    if (mName.empty())
        return;
    if (mHadDisplay)
        setenv("DISPLAY", mOldDisplay.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

std::string TManagedDisplay::Run(const std::string& command) const
{
    return CommandOutput("DISPLAY=" + mName + " " + command + " 2>/dev/null");
}

std::string TManagedDisplay::FindWindow(const std::string& windowClass, int ms) const
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        std::istringstream ids(Run("xdotool search --classname " + windowClass));
        std::string id;
        if (ids >> id)
            return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::string();
}

TWindowPlace TManagedDisplay::Place(const std::string& window) const
{
    const std::string info = Run("xwininfo -id " + window);
    return TWindowPlace{Field(info, "Absolute upper-left X:"), Field(info, "Absolute upper-left Y:"),
                        Field(info, "Width:"), Field(info, "Height:")};
}

TWindowPlace TManagedDisplay::SettledPlace(const std::string& window, int ms) const
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    TWindowPlace place = Place(window);
    auto since = Clock::now();
    while (Clock::now() < end && Clock::now() - since < std::chrono::milliseconds(250)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const TWindowPlace now = Place(window);
        if (!(now == place)) {
            place = now;
            since = Clock::now();
        }
    }
    return place;
}

bool TManagedDisplay::WaitForFullScreen(const std::string& window, int ms) const
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        if (Place(window) == TWindowPlace{0, 0, kWidth, kHeight})
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

void TManagedDisplay::Pointer(int* x, int* y) const
{
    const std::string at = Run("xdotool getmouselocation");
    *x = Field(at, "x:");
    *y = Field(at, "y:");
}

void TManagedDisplay::HoldManager(bool hold)
{
    if (mManager > 0)
        kill(mManager, hold ? SIGSTOP : SIGCONT);
}
