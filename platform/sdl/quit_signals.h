#pragma once
// The system's request to end the program: SIGTERM (kill, a logout), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal went away). The handler only sets a flag, which the host
// reads while it waits for events and while a script holds the main thread.
//
// A request the main thread has not taken within kAnswerLimitMs (held in one long call that no
// script stop reaches) ends the process with status 0; a second signal of the same kind ends it
// the default way, should the clean exit itself hang. Either waits for a save under way
// (replace_file.h) to finish: every saved file is whole between saves. Once the main thread has
// taken a request, or the game's quit is under way, no deadline runs.

#include <csignal>

class TQuitSignals
{
public:
    static constexpr unsigned kAnswerLimitMs = 2500;
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    // Installs the handlers; the destructor puts the previous ones back and clears the flag.
    TQuitSignals();
    ~TQuitSignals();
    TQuitSignals(const TQuitSignals&) = delete;
    TQuitSignals& operator=(const TQuitSignals&) = delete;

    // Whether a quit signal arrived since the handlers were installed.
    static bool Arrived();
    // The main thread has taken a request into the game's quit path, or the game quits of its
    // own: no deadline runs, now or for a later signal.
    static void Taken();

private:
    struct sigaction mPrevious[3];
};
