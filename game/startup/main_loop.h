#pragma once
// The game's event loop: every event goes on to the window manager except mouse moves while
// the program is in the background; a close request first asks the quit script; a switch to
// the background with the game on top opens the pause screen; every 15 minutes (14 once the
// run has lasted 45) a progress record is sent. The quit event ends it.
//   TMainLoop loop(services);
//   loop.Run();   // returns after the quit event

#include <functional>

#include "core/platform/event.h"
#include "core/time/clock.h"

class TWindow;

class TMainLoop
{
public:
    struct TServices
    {
        std::function<void(TEvent*)> getEvent;
        std::function<void(TEvent*)> handleEvent;
        // Runs the quit script, which decides whether to quit.
        std::function<void()> closeRequest;
        std::function<TWindow*()> topModal;
    };

    // Starts the run and interval clocks; the program counts as in front.
    explicit TMainLoop(TServices services);

    // One event; false once the quit event has been handled.
    bool Step();
    void Run();

    static constexpr uint32_t kProgressInterval = 900000;
    // Taken off the interval once the run clock shows this many minutes.
    static constexpr uint32_t kLateMinutes = 45;
    static constexpr uint32_t kLateMargin = 60000;

private:
    void Quit();
    void PauseCheck();
    void ProgressReport();

    TServices mServices;
    TClock mRunClock;
    TClock mIntervalClock;
    bool mActive = true;
};
