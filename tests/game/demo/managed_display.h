#pragma once
// A private X display with a window manager on it, for what only a managed window shows: the
// manager frames the window, answers full screen and moves in its own time. The display and
// the manager end with the object. Programs started meanwhile show on it (DISPLAY names it
// until the object goes). Needs Xvfb, openbox, xwininfo and xdotool.

#include "game/demo/private_display.h"

#include <string>
#include <sys/types.h>

// Where a window's client area lies on the screen.
struct TWindowPlace
{
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const TWindowPlace&) const = default;
};

class TManagedDisplay
{
public:
    static constexpr int kWidth = TPrivateDisplay::kWidth, kHeight = TPrivateDisplay::kHeight;

    explicit TManagedDisplay(int width = kWidth, int height = kHeight);
    ~TManagedDisplay();
    TManagedDisplay(const TManagedDisplay&) = delete;
    TManagedDisplay& operator=(const TManagedDisplay&) = delete;

    // Empty once the display and its manager run; else what is missing.
    const std::string& Missing() const { return mMissing; }
    // The display's name, ":N".
    const std::string& Name() const { return mName; }

    // The first window of that class, once it is there (empty after `ms`).
    std::string FindWindow(const std::string& windowClass, int ms = 10000) const;
    // The client area of the window now; all 0 when it cannot be read.
    TWindowPlace Place(const std::string& window) const;
    // The place once it has stayed the same for a quarter of a second (at most `ms`).
    TWindowPlace SettledPlace(const std::string& window, int ms = 5000) const;
    // Waits until the window covers the whole screen; false after `ms`.
    bool WaitForFullScreen(const std::string& window, int ms) const;
    // Whether the window is shown covering the whole screen all through the next `ms`.
    bool StaysFullScreen(const std::string& window, int ms) const;
    // The player minimises the window; false when the manager has not done so after `ms`.
    bool Minimise(const std::string& window, int ms = 5000) const;
    // Waits until the manager keeps the window minimised; false after `ms`.
    bool WaitForMinimised(const std::string& window, int ms) const;
    // The player brings the window back, as the window switcher does.
    void Activate(const std::string& window) const;
    // A manager that starts while the windows are there; false when it did not start.
    bool RestartManager();
    // The pointer's place on the screen.
    void Pointer(int* x, int* y) const;
    // Stops the manager, or lets it go on with what was asked of it meanwhile.
    void HoldManager(bool hold);

private:
    std::string Run(const std::string& command) const;
    // Empty once a manager runs, else why not.
    std::string StartManager();

    std::string mMissing;
    std::string mName;
    std::string mOldDisplay;
    bool mHadDisplay = false;
    TPrivateDisplay mServer;
    pid_t mManager = -1;
};
