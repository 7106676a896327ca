#include "game/demo/managed_display.h"

#include "common/command_output.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

void End(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int Field(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

// Where xwininfo's report puts the window.
TWindowPlace PlaceIn(const std::string& info)
{
    return TWindowPlace{Field(info, "Absolute upper-left X:"), Field(info, "Absolute upper-left Y:"),
                        Field(info, "Width:"), Field(info, "Height:")};
}

}  // namespace

TManagedDisplay::TManagedDisplay(int width, int height) : mServer(width, height)
{
    for (const char* tool : {"Xvfb", "openbox", "xwininfo", "xdotool", "xprop"}) {
        if (CommandOutput(std::string("command -v ") + tool).empty())
            mMissing += std::string(mMissing.empty() ? "not installed: " : ", ") + tool;
    }
    if (!mMissing.empty())
        return;
    if (mServer.Name().empty()) {
        mMissing = "the display server did not start";
        return;
    }
    mName = mServer.Name();
    if (const char* old = std::getenv("DISPLAY")) {
        mOldDisplay = old;
        mHadDisplay = true;
    }
    setenv("DISPLAY", mName.c_str(), 1);
    mMissing = StartManager();
}

std::string TManagedDisplay::StartManager()
{
    mManager = SpawnQuietly({"openbox"});
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (Run("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") == std::string::npos) {
        if (Clock::now() >= end)
            return "the window manager did not start";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::string();
}

bool TManagedDisplay::RestartManager()
{
    End(mManager);
    // A manager ended by force leaves its mark on the root window: the new one sets it again.
    Run("xprop -root -remove _NET_SUPPORTING_WM_CHECK");
    return StartManager().empty();
}

TManagedDisplay::~TManagedDisplay()
{
    End(mManager);
    mServer.Kill();
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
    return PlaceIn(Run("xwininfo -id " + window));
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
        if (Place(window) == TWindowPlace{0, 0, mServer.Width(), mServer.Height()})
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool TManagedDisplay::StaysFullScreen(const std::string& window, int ms) const
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        const std::string info = Run("xwininfo -id " + window);
        if (info.find("IsViewable") == std::string::npos ||
            !(PlaceIn(info) == TWindowPlace{0, 0, mServer.Width(), mServer.Height()}))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool TManagedDisplay::Minimise(const std::string& window, int ms) const
{
    Run("xdotool windowminimize " + window);
    return WaitForMinimised(window, ms);
}

bool TManagedDisplay::WaitForMinimised(const std::string& window, int ms) const
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Run("xprop -id " + window + " WM_STATE").find("Iconic") == std::string::npos) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void TManagedDisplay::Activate(const std::string& window) const
{
    Run("xdotool windowactivate " + window);
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
