#include "game/world/clock/pause.h"

#include "core/debug/debug_log.h"
#include "game/world/common/game_clock.h"
#include "game/world/sound/sfx_manager.h"

namespace {
bool g_bPaused = false;
tPauseReport gPauseReport = nullptr;
}  // namespace

bool IsPaused()
{
    return g_bPaused;
}

void SetPauseReport(tPauseReport report)
{
    gPauseReport = report;
}

void StartGameClock()
{
    GameClockStart();
    g_bPaused = false;
}

void EnterPause()
{
    WriteDbg("PAUSE:::::::::::::::::: ENTERED");
    if (gPauseReport)
        gPauseReport(true);
    g_bPaused = true;
    GameClockPause();
    g_SFXManager.PauseAllSounds();
}

void ExitPause()
{
    WriteDbg("PAUSE:::::::::::::::::: EXITED");
    if (gPauseReport)
        gPauseReport(false);
    g_bPaused = false;
    GameClockStart();
    g_SFXManager.UnpauseAllSounds();
}
