#include "core/time/anim_task.h"

#include "core/time/clock.h"
#include "core/time/time_source.h"

namespace {

// Wrap-safe "a - b" in milliseconds.
inline int32_t Diff(uint32_t a, uint32_t b)
{
    return static_cast<int32_t>(a - b);
}

constexpr int32_t kBacklogLimit = 1001;

}  // namespace

TAnimTask::TAnimTask(TClock* clock) : mClock(clock)
{
    mDue = Now();
    if (mDue == kPaused)
        mDue = 0;
}

uint32_t TAnimTask::Now() const
{
    return mClock ? mClock->GetTime() : TimerNow();
}

uint32_t TAnimTask::SetDelay(uint32_t delay, bool repeat, bool fromNow, bool catchUp)
{
    mFromNow = fromNow;
    mCatchUp = catchUp;
    if (!fromNow && !IsPaused())
        mDue += delay;
    else
        mDue = Now() + delay;
    // The all-ones value means paused; a due time landing there is one millisecond later.
    if (mDue == kPaused)
        mDue = 0;
    mRepeat = repeat ? delay : 0;
    return mRepeat;
}

void TAnimTask::Pause()
{
    mDue = kPaused;
    mDrawReady = false;
}

bool TAnimTask::Ready(ETaskContext context)
{
    if (context == kDrawContext)
        return mDrawReady;
    if (IsPaused())
        return false;
    return Diff(Now(), mDue) >= 0;
}

int TAnimTask::GetTimeUntilReady() const
{
    if (IsPaused())
        return -1;
    return Diff(Now(), mDue);
}

void TAnimTask::SetClock(TClock* clock)
{
    if (IsPaused()) {
        mClock = clock;
        return;
    }
    const int32_t ahead = Diff(mDue, Now());
    mClock = clock;
    mDue = Now() + static_cast<uint32_t>(ahead);
    if (mDue == kPaused)
        mDue = 0;
}

bool TAnimTask::DoTask()
{
    const uint32_t now = Now();
    if (!IsPaused() && Diff(now, mDue) >= kBacklogLimit)
        mDue = now;
    for (;;) {
        // A paused task run by the drawing pass stays paused unless it counts from now.
        if (mFromNow || !IsPaused()) {
            mDue = (mFromNow ? now : mDue) + mRepeat;
            if (mDue == kPaused)
                mDue = 0;
        }
        if (!Animate())
            return false;
        // A step may pause or reschedule the task. Without a repeat delay the due time never
        // moves, so catching up would never end.
        if (!mCatchUp || mRepeat == 0 || IsPaused() || Diff(now, mDue) <= 0)
            return true;
    }
}
