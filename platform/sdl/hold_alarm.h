#pragma once
// A timer whose signal interrupts the main thread itself once the main loop has not come round
// for a while, and again at a steady rate after that; its handler arms the script interrupt
// (script_interrupt.h), so that a script that holds the main thread asks whether it must stop
// at the next instruction, however long each of its instructions takes. The main loop restarts
// the timer at every turn, so it never fires while the program runs normally.

#include <ctime>

class THoldAlarm
{
public:
    // The timer signals the thread that makes the alarm.
    THoldAlarm();
    ~THoldAlarm();
    THoldAlarm(const THoldAlarm&) = delete;
    THoldAlarm& operator=(const THoldAlarm&) = delete;

    // Fires ms from now and every `repeatMs` after, until restarted.
    void Restart(unsigned ms, unsigned repeatMs);

private:
    bool mReady = false;
    timer_t mTimer{};
};
