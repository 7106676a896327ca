#include "game/world/common/game_clock.h"

#include "core/time/clock.h"

#include <mutex>

namespace {

std::mutex gClockMutex;

TClock& Clock()
{
    static TClock clock;
    return clock;
}

}  // namespace

uint32_t GameClockTime()
{
    std::lock_guard lock(gClockMutex);
    return Clock().GetTime();
}

TClock* GameClock()
{
    return &Clock();
}

void GameClockStart()
{
    std::lock_guard lock(gClockMutex);
    Clock().Start();
}

void GameClockPause()
{
    std::lock_guard lock(gClockMutex);
    Clock().Pause();
}
