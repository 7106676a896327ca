#include "core/time/clock.h"

#include "core/time/time_source.h"

uint32_t TClock::GetTime() const
{
    if (mPaused)
        return mPausedValue;
    return TimerNow() - mStart + mOffset - mPausedTotal;
}

void TClock::Reset()
{
    mStart = TimerNow();
    mOffset = 0;
    mPausedValue = 0;
    mPausedTotal = 0;
    mPaused = true;
}

void TClock::Start()
{
    if (!mPaused)
        return;
    mPaused = false;
    if (!mStarted) {
        mStarted = true;
        mStart = TimerNow();
        mOffset = 0;
        mPausedValue = 0;
        mPausedTotal = 0;
        return;
    }
    // Whatever the clock would read now beyond the paused value was spent paused.
    const uint32_t running = TimerNow() - mStart + mOffset - mPausedTotal;
    mPausedTotal += running - mPausedValue;
}

bool TClock::Pause()
{
    if (mPaused)
        return true;
    mPausedValue = GetTime();
    mPaused = true;
    return false;
}
