#pragma once
// The system's request to end the program: SIGTERM (kill, a logout), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal went away). The handler only sets a flag, which the host
// reads while it waits for events and while a script holds the main thread. A second signal of
// the same kind ends the process the default way, should the clean exit itself hang.
//
// A request the main thread has not taken within kAnswerLimitMs (held in one long call that no
// script stop reaches) ends the process at once with status 0: what was saved is whole between
// saves, and the system asked for the program to go.

#include <csignal>

class TQuitSignals
{
public:
    static constexpr unsigned kAnswerLimitMs = 2500;

    // Installs the handlers; the destructor puts the previous ones back and clears the flag.
    TQuitSignals();
    ~TQuitSignals();
    TQuitSignals(const TQuitSignals&) = delete;
    TQuitSignals& operator=(const TQuitSignals&) = delete;

    // Whether a quit signal arrived since the handlers were installed.
    static bool Arrived();
    // The main thread has taken the request into the game's quit path: no deadline runs.
    static void Taken();

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    struct sigaction mPrevious[3];
};
