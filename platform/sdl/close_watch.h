#pragma once
// Decides when a script that holds the main thread must stop: the main loop has not come round
// for kHoldLimitMs and a close or quit request is waiting. Scripts that yield let the main loop
// come round and are never stopped. Looking for a request may mean reading the system's event
// queue, so it happens at most every kLookIntervalMs.

#include <cstdint>
#include <functional>

class TCloseWatch
{
public:
    // A close request is answered within about this, plus the quit itself: the player and the
    // system both expect a program to be gone within a few seconds.
    static constexpr uint32_t kHoldLimitMs = 1000;
    static constexpr uint32_t kLookIntervalMs = 200;

    // `now` is a millisecond clock; `closePending` tells whether a close or quit request waits.
    TCloseWatch(std::function<uint32_t()> now, std::function<bool()> closePending);

    // The main loop asked for an event: whatever runs from here on starts a new hold.
    void MainLoopTurned();
    // Asked by the script hook every few thousand instructions.
    bool ShouldStopScript();

private:
    std::function<uint32_t()> mNow;
    std::function<bool()> mClosePending;
    uint32_t mLastTurn = 0;
    uint32_t mLastLook = 0;
    bool mLooked = false;
    bool mAnswer = false;
};
