#include "game/startup/world_steps.h"

#include "game/script/metrics.h"
#include "game/startup/game_steps.h"
#include "game/world/clock/pause.h"
#include "game/world/sound/sfx_manager.h"

namespace {

void ReportPause(bool paused)
{
    if (paused)
        MET_Pause();
    else
        MET_Resume();
}

}  // namespace

void InstallWorldSteps()
{
    TGameSteps& steps = GameSteps();
    steps.isPaused = &IsPaused;
    steps.enterPause = &EnterPause;
    steps.exitPause = &ExitPause;
    steps.dumpVox = [] { g_SFXManager.DumpVox(); };
    SetPauseReport(&ReportPause);
}
