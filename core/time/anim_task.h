#pragma once
// A timed task: steps (Animate) when its due time arrives on the platform clock or on a TClock,
// optionally repeating at a fixed delay.
//   struct Tick : TAnimTask { bool Animate() override { ...; return true; } };
//   tick->SetDelay(100, true, false, true);   // every 100 ms, catching up missed steps

#include "core/time/task.h"

#include <cstdint>

class TClock;

class TAnimTask : public TTask
{
public:
    static constexpr uint32_t kPaused = 0xFFFFFFFFu;

    // Ready at once: due is the clock's current time. A null clock is the platform clock.
    explicit TAnimTask(TClock* clock = nullptr);

    // fromNow, or a paused task: due = now + delay; else due += delay. Returns the repeat delay.
    uint32_t SetDelay(uint32_t delay, bool repeat = false, bool fromNow = true, bool catchUp = false);
    void Pause();
    bool IsPaused() const { return mDue == kPaused; }

    bool Ready(ETaskContext context) override;
    bool DoTask() override;
    // The step; false ends the task.
    virtual bool Animate() = 0;

    // -1 when paused, else now - due (negative while waiting).
    int GetTimeUntilReady() const;
    // Moves to another clock keeping the distance to the due time.
    void SetClock(TClock* clock);
    TClock* GetClock() const { return mClock; }

    // In the drawing pass the task is ready exactly when this flag is set.
    void SetDrawContext(bool ready) { mDrawReady = ready; }
    uint32_t GetDue() const { return mDue; }
    void SetDue(uint32_t due) { mDue = due; }
    uint32_t GetRepeatDelay() const { return mRepeat; }

protected:
    uint32_t Now() const;

private:
    bool mDrawReady = false;
    uint32_t mDue = 0;
    uint32_t mRepeat = 0;
    bool mFromNow = false;
    bool mCatchUp = false;
    TClock* mClock = nullptr;
};
