#pragma once
// The operating-system side of the platform: window and GL context, display mode, system
// cursor and the raw event source. The SDL layer implements it; tests put a
// scripted stand-in in its place.

#include "core/math/rect.h"
#include "core/platform/system_event.h"
#include "core/text/str.h"

#include <cstdint>

class TPlatformHost
{
public:
    enum class EWait
    {
        kReceived,
        kTimedOut,
        kFailed,
    };

    // Where a graphics set-up step failed; reported with the matching line number.
    enum class EGraphicsStep
    {
        kNone,
        kPixelFormat,
        kContext,
        kDrawable,
        kCurrentContext,
        kUpdate,
    };

    virtual ~TPlatformHost() = default;

    // One system event, waiting at most timeoutMs.
    virtual EWait WaitEvent(TSystemEvent* out, unsigned timeoutMs) = 0;
    // The game has been handed its quit: its quit path (the last saves, the teardown) runs from
    // here on and nothing of the host's may cut it short.
    virtual void QuitUnderWay() {}
    // Shift 1, Control 2, Option 4, from the keyboard state now.
    virtual uint32_t Modifiers() = 0;
    // The pointer in window-local pixels.
    virtual TPoint MousePosition() = 0;
    virtual void Sleep(unsigned ms) = 0;

    // Makes the main window and its GL context (hidden until ShowWindow). kNone on success,
    // else the step that failed with its message in *error.
    virtual EGraphicsStep CreateMainWindow(unsigned width, unsigned height, const str& title, str* error) = 0;
    virtual bool HasMainWindow() = 0;
    // Sizes the window and switches full screen on or off.
    virtual void SetWindowMode(unsigned width, unsigned height, bool fullscreen) = 0;
    // Whether the window really fills the display at its size (a refused switch leaves it false).
    virtual bool IsDisplayCaptured() = 0;
    virtual void CenterWindow() = 0;
    // Shows the window; asked to hide it, a host may leave that to the window being minimised
    // with the application (HideApplication) and keep it on the desktop.
    virtual void ShowWindow(bool show) = 0;
    virtual void RaiseWindow() = 0;
    // Hides the application (the window is minimised).
    virtual void HideApplication() = 0;
    virtual void SetWindowTitle(const str& title) = 0;
    // Makes the GL context current with a swap interval of 1.
    virtual EGraphicsStep ActivateContext(str* error) = 0;
    virtual void SwapBuffers() = 0;
    virtual int PixelSize() = 0;
    // Height of the main display in pixels.
    virtual float MainDisplayHeight() = 0;

    virtual bool IsCursorVisible() = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    virtual void SetArrowCursor() = 0;
    virtual bool IsMouseInContent() = 0;
    virtual void WarpMouseToWindowCenter() = 0;

    // One copy of the program per user folder: true when another program holds the lock file
    // `lockPath` (a disk path); otherwise this program holds it from now until it ends.
    virtual bool FolderTakenByAnother(const str& lockPath) = 0;
    // The user's home folder as the system's account database gives it, for a start without
    // HOME; empty when there is none (and from hosts that know no accounts).
    virtual str AccountHome() { return str(""); }

    // Tells the player something in a box of the system's own, for when the game's window
    // cannot show it (its data is missing); returns once the player has closed it.
    virtual void ShowMessageBox(const str& title, const str& text) = 0;
};
