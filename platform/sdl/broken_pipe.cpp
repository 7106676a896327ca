#include "platform/sdl/broken_pipe.h"

#include <csignal>

namespace {

void OnBrokenPipe(int) {}

}  // namespace

void IgnoreBrokenPipes()
{
    struct sigaction action = {};
    action.sa_handler = &OnBrokenPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGPIPE, &action, nullptr);
}
