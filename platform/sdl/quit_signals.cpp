#include "platform/sdl/quit_signals.h"

#include <atomic>

#include "core/script/script_interrupt.h"

namespace {

std::atomic<int> gArrived{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

void OnQuitSignal(int)
{
    gArrived.store(1, std::memory_order_relaxed);
    // A script that holds the main thread asks at once whether it must stop, not only when the
    // hold alarm comes round.
    ArmScriptInterrupt();
}

}  // namespace

TQuitSignals::TQuitSignals()
{
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
    gArrived.store(0, std::memory_order_relaxed);
}

bool TQuitSignals::Arrived()
{
    return gArrived.load(std::memory_order_relaxed) != 0;
}
