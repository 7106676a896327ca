#include "platform/sdl/quit_signals.h"

#include <atomic>
#include <ctime>
#include <unistd.h>

#include "core/script/script_interrupt.h"

namespace {

std::atomic<int> gArrived{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

timer_t gDeadline;
std::atomic<bool> gHasDeadline{false};

// A real-time signal nothing else here uses.
int DeadlineSignal()
{
    return SIGRTMIN + 4;
}

void SetDeadline(unsigned ms)
{
    const itimerspec when = {{0, 0}, {time_t(ms / 1000), long(ms % 1000) * 1000000L}};
    timer_settime(gDeadline, 0, &when, nullptr);
}

void OnDeadline(int)
{
    static const char kLine[] =
        "The game did not take the quit signal in time (held in one long call); it ends now.\n";
    const ssize_t written = write(STDERR_FILENO, kLine, sizeof kLine - 1);
    (void)written;
    _exit(0);
}

void OnQuitSignal(int)
{
    // Only the first request starts the deadline; a later one must not push it back.
    if (gArrived.exchange(1, std::memory_order_relaxed) == 0 && gHasDeadline.load())
        SetDeadline(TQuitSignals::kAnswerLimitMs);
    // A script that holds the main thread asks at once whether it must stop, not only when the
    // hold alarm comes round.
    ArmScriptInterrupt();
}

}  // namespace

TQuitSignals::TQuitSignals()
{
    struct sigaction deadline = {};
    deadline.sa_handler = &OnDeadline;
    sigemptyset(&deadline.sa_mask);
    struct sigevent event = {};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = DeadlineSignal();
    if (sigaction(DeadlineSignal(), &deadline, nullptr) == 0 &&
        timer_create(CLOCK_MONOTONIC, &event, &gDeadline) == 0)
        gHasDeadline.store(true);

    struct sigaction action = {};
    action.sa_handler = &OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and waits go on; the next signal of the kind takes the default way.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &mPrevious[i]);
}

TQuitSignals::~TQuitSignals()
{
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &mPrevious[i], nullptr);
    if (gHasDeadline.exchange(false))
        timer_delete(gDeadline);
    signal(DeadlineSignal(), SIG_IGN);
    gArrived.store(0, std::memory_order_relaxed);
}

bool TQuitSignals::Arrived()
{
    return gArrived.load(std::memory_order_relaxed) != 0;
}

void TQuitSignals::Taken()
{
    if (gHasDeadline.load())
        SetDeadline(0);
}
