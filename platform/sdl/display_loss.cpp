#include "platform/sdl/display_loss.h"

#include "core/debug/debug_log.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::atomic<bool> gLost{false};
std::atomic<Display*> gWatched{nullptr};
pid_t gMainThread = 0;
std::atomic<bool> gInDriverSetUp{false};

// Returning lets the X library fail the call that met the loss and every later one.
void OnLossWatched(Display*, void*) {}

int OnLoss(Display* display)
{
    if (!gLost.exchange(true))
        WriteDbg("The display %s went away", DisplayString(display));
    if (gInDriverSetUp.load() && gettid() == gMainThread) {
        // The GL driver goes on with the connection after a failed call and crashes on it;
        // the game has made nothing yet that its quit path would save.
        WriteDbg("The game ends: its display went away while its window was being made");
        _exit(0);
    }
    if (display == gWatched.load())
        return 0;
    // A connection of SDL's own that the host cannot reach: returning would end the process
    // through the exit handlers, which tear the sound down under its own thread. Another
    // thread waits here for the main thread's quit path to end the process.
    if (gettid() != gMainThread) {
        for (;;)
            pause();
    }
    // On the main thread only while SDL opens or closes its connections: the game has not
    // started, or its quit path is done.
    WriteDbg("The game ends without its display");
    _exit(0);
}

Display* DisplayOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

// Drivers that draw where nobody sees; SDL falls back to one when no display answers.
bool ShowsNothing(const char* driver)
{
    for (const char* hidden : {"offscreen", "dummy", "evdev"})
        if (driver && std::strcmp(driver, hidden) == 0)
            return true;
    return false;
}

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

void CatchDisplayLoss()
{
    gMainThread = gettid();
    XSetIOErrorHandler(&OnLoss);
}

void WatchDisplay()
{
    if (!SDL_GetCurrentVideoDriver() || std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0)
        return;
    // SDL names its display only through a window: one that is never shown, and not made for
    // GL, costs the server a few requests.
    SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
    if (Display* display = DisplayOf(probe)) {
        XSetIOErrorExitHandler(display, &OnLossWatched, nullptr);
        gWatched.store(display);
    }
    if (probe)
        SDL_DestroyWindow(probe);
    SDL_PumpEvents();
    SDL_FlushEvent(SDL_WINDOWEVENT);
}

TDriverSetUp::TDriverSetUp()
{
    gInDriverSetUp.store(true);
}

TDriverSetUp::~TDriverSetUp()
{
    gInDriverSetUp.store(false);
}

bool DisplayLost()
{
    return gLost.load();
}

bool DisplayAnswers(SDL_Window* window)
{
    if (Display* display = DisplayOf(window); display && !gLost.load())
        XSync(display, False);
    return !gLost.load();
}

std::string NoDisplay(bool videoStarted)
{
    const std::string display = Env("DISPLAY"), wayland = Env("WAYLAND_DISPLAY");
    const std::string where = display.empty() && wayland.empty() ? "neither DISPLAY nor WAYLAND_DISPLAY is set"
                              : display.empty()                  ? "no display answers at WAYLAND_DISPLAY=" + wayland
                                                                 : "no display answers at DISPLAY=" + display;
    if (!videoStarted)
        return std::string("SDL video could not start (") + SDL_GetError() + "); " + where;
    // The hint is read from the environment too.
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (ShowsNothing(SDL_GetCurrentVideoDriver()) && (!asked || !*asked))
        return where;
    return std::string();
}
