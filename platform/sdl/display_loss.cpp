#include "platform/sdl/display_loss.h"

#include "core/debug/debug_log.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>
#include <unistd.h>

namespace {

std::atomic<bool> gLost{false};
std::atomic<Display*> gWatched{nullptr};

// Returning lets the X library fail the call that met the loss and every later one.
void OnLossWatched(Display*, void*) {}

int OnLoss(Display* display)
{
    if (!gLost.exchange(true))
        WriteDbg("The display %s went away", DisplayString(display));
    if (display == gWatched.load())
        return 0;
    // A display lost before the game's window was made is not watched yet: the X library
    // would end the process as soon as this returns, through the exit handlers that tear the
    // sound down under its own thread. Nothing is being saved on this thread, and every saved
    // file is whole between saves.
    WriteDbg("The game ends before its window was made");
    _exit(0);
}

}  // namespace

void CatchDisplayLoss()
{
    XSetIOErrorHandler(&OnLoss);
}

void WatchDisplayOf(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display)
        return;
    XSetIOErrorExitHandler(info.info.x11.display, &OnLossWatched, nullptr);
    gWatched.store(info.info.x11.display);
}

bool DisplayLost()
{
    return gLost.load();
}
