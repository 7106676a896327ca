#pragma once
// Sprite scripts run on a private task list under a clock the test moves, while this lives.
//   TSteppedTime time;
//   sprite->SetClock(&time.clock);
//   time.Advance(100);   // 100 ms, the sprite tasks run after each one

#include "core/time/clock.h"
#include "core/time/task.h"

#include <cstdint>

class TSteppedTime
{
public:
    TSteppedTime();
    ~TSteppedTime();
    TSteppedTime(const TSteppedTime&) = delete;
    TSteppedTime& operator=(const TSteppedTime&) = delete;

    // Moves the time in 1 ms steps, running the tasks after each.
    void Advance(uint32_t ms);

    TTaskList tasks;
    TClock clock;
};
