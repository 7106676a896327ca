#include "platform/sdl/hold_alarm.h"

#include "core/debug/debug_log.h"
#include "core/script/script_interrupt.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// A real-time signal nothing else here uses.
int AlarmSignal()
{
    return SIGRTMIN + 3;
}

void OnAlarm(int)
{
    ArmScriptInterrupt();
}

}  // namespace

THoldAlarm::THoldAlarm()
{
    struct sigaction action = {};
    action.sa_handler = &OnAlarm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(AlarmSignal(), &action, nullptr) != 0) {
        WriteDbg("The hold alarm has no signal: %s", std::strerror(errno));
        return;
    }
    struct sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = AlarmSignal();
    event._sigev_un._tid = gettid();  // glibc names no accessor for the thread id
    if (timer_create(CLOCK_MONOTONIC, &event, &mTimer) != 0) {
        WriteDbg("The hold alarm has no timer: %s", std::strerror(errno));
        return;
    }
    mReady = true;
}

THoldAlarm::~THoldAlarm()
{
    if (mReady)
        timer_delete(mTimer);
    signal(AlarmSignal(), SIG_IGN);
}

namespace {

timespec Span(unsigned ms)
{
    return timespec{time_t(ms / 1000), long(ms % 1000) * 1000000L};
}

}  // namespace

void THoldAlarm::Restart(unsigned ms, unsigned repeatMs)
{
    if (!mReady)
        return;
    const struct itimerspec when = {Span(repeatMs), Span(ms)};
    timer_settime(mTimer, 0, &when, nullptr);
}
