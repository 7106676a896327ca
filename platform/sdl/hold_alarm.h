#pragma once
// A one-shot timer whose signal interrupts the main thread itself once the main loop has not
// come round for a while; its handler arms the script interrupt (script_interrupt.h), so that a
// script that holds the main thread starts asking whether it must stop. The main loop restarts
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

    // Fires once, ms from now, unless restarted before.
    void Restart(unsigned ms);

private:
    bool mReady = false;
    timer_t mTimer{};
};
