#pragma once
// The system's request to end the program: SIGTERM (kill, a logout), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal went away). The handler only sets a flag, which the host
// reads while it waits for events and while a script holds the main thread. A second signal of
// the same kind ends the process the default way, should the clean exit itself hang.

#include <csignal>

class TQuitSignals
{
public:
    // Installs the handlers; the destructor puts the previous ones back and clears the flag.
    TQuitSignals();
    ~TQuitSignals();
    TQuitSignals(const TQuitSignals&) = delete;
    TQuitSignals& operator=(const TQuitSignals&) = delete;

    // Whether a quit signal arrived since the handlers were installed.
    static bool Arrived();

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    struct sigaction mPrevious[3];
};
