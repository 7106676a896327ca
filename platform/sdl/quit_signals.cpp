#include "platform/sdl/quit_signals.h"

#include "core/files/replace_file.h"
#include "core/script/script_interrupt.h"

#include <atomic>
#include <ctime>
#include <unistd.h>

namespace {

// One bit per kind of quit signal that arrived.
std::atomic<int> gArrived{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");
// The main thread has taken a request into the game's quit path: no deadline runs any more.
std::atomic<bool> gTaken{false};
// A second signal of one kind: it ends the process its default way once no save is under way.
std::atomic<int> gEndBy{0};
// The deadline passed while the main thread was saving.
std::atomic<bool> gWaitedForSave{false};

timer_t gDeadline;
std::atomic<bool> gHasDeadline{false};

// How often a deadline that has passed looks again whether the save under way is done.
constexpr unsigned kSaveLookMs = 50;

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

int Bit(int sig)
{
    for (size_t i = 0; i < std::size(TQuitSignals::kSignals); ++i)
        if (TQuitSignals::kSignals[i] == sig)
            return 1 << i;
    return 0;
}

void EndTheDefaultWay(int sig)
{
    signal(sig, SIG_DFL);
    raise(sig);
}

// Runs on the main thread, the only one that saves: a save it interrupted is let finish, and
// the main thread, which was saving rather than held, then has the whole span again to take
// the request.
void OnDeadline(int)
{
    if (SaveUnderWay()) {
        gWaitedForSave.store(true);
        SetDeadline(kSaveLookMs);
        return;
    }
    if (const int sig = gEndBy.load())
        EndTheDefaultWay(sig);
    if (gWaitedForSave.exchange(false)) {
        SetDeadline(TQuitSignals::kAnswerLimitMs);
        return;
    }
    static const char kLine[] =
        "The game did not take the quit signal in time (held in one long call); it ends now.\n";
    const ssize_t written = write(STDERR_FILENO, kLine, sizeof kLine - 1);
    (void)written;
    _exit(0);
}

void OnQuitSignal(int sig)
{
    const int before = gArrived.fetch_or(Bit(sig));
    if (before & Bit(sig)) {
        // The clean exit itself seems to hang: the deadline's handler ends the process, as it
        // knows whether a save is under way.
        gEndBy.store(sig);
        if (gHasDeadline.load())
            SetDeadline(1);
        else
            EndTheDefaultWay(sig);
    } else if (before == 0 && !gTaken.load() && gHasDeadline.load()) {
        // Only the first request starts the deadline; a later one must not push it back.
        SetDeadline(TQuitSignals::kAnswerLimitMs);
    }
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
    deadline.sa_flags = SA_RESTART;
    struct sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = DeadlineSignal();
    event._sigev_un._tid = gettid();  // glibc names no accessor for the thread id
    if (sigaction(DeadlineSignal(), &deadline, nullptr) == 0 &&
        timer_create(CLOCK_MONOTONIC, &event, &gDeadline) == 0)
        gHasDeadline.store(true);

    struct sigaction action = {};
    action.sa_handler = &OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and waits go on.
    action.sa_flags = SA_RESTART;
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
    gArrived.store(0);
    gTaken.store(false);
    gEndBy.store(0);
    gWaitedForSave.store(false);
}

bool TQuitSignals::Arrived()
{
    return gArrived.load() != 0;
}

void TQuitSignals::Taken()
{
    gTaken.store(true);
    if (gHasDeadline.load() && gEndBy.load() == 0)
        SetDeadline(0);
}
