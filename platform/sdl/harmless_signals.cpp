#include "platform/sdl/harmless_signals.h"

#include <csignal>
#include <initializer_list>

namespace {

void OnHarmlessSignal(int) {}

}  // namespace

void IgnoreHarmlessSignals()
{
    struct sigaction action = {};
    action.sa_handler = &OnHarmlessSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGPIPE, SIGXFSZ})
        sigaction(sig, &action, nullptr);
}
