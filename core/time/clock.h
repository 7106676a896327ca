#pragma once
// A pausable millisecond clock on top of TimerNow(). It starts paused and reads 0 until Start.
//   TClock c; c.Start(); ... c.Pause(); ... c.Start();   // GetTime() skips the paused span

#include <cstdint>

class TClock
{
public:
    virtual ~TClock() = default;

    uint32_t GetTime() const;
    // Back to a paused zero reading; whether it was ever started is kept.
    void Reset();
    void Start();
    // True when it was already paused.
    bool Pause();

    bool IsPaused() const { return mPaused; }

private:
    bool mPaused = true;
    bool mStarted = false;
    uint32_t mStart = 0;
    uint32_t mOffset = 0;
    uint32_t mPausedValue = 0;
    uint32_t mPausedTotal = 0;
};
