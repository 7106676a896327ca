#include "game/startup/world_steps.h"

#include "game/script/metrics.h"
#include "game/startup/game_steps.h"
#include "game/world/clock/pause.h"
#include "game/world/scene/choice_handler.h"
#include "game/world/scene/scene.h"
#include "game/world/scenelist/scene_list.h"
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

    steps.loadSceneList = [] { InitializeSceneNames(); };
    steps.createScene = [] {
        if (!TheScene())
            TheScene() = new tScene;
    };
    steps.dumpSubScene = [] {
        delete SubScene();
        SubScene() = nullptr;
    };
    steps.dumpScene = [] {
        if (TheScene())
            TheScene()->DumpScene();
    };
    steps.releaseScene = [] {
        delete TheScene();
        TheScene() = nullptr;
    };
    steps.choiceClicked = &ChoiceClicked;
    SetActiveSceneQuery([]() -> const char* {
        tScene* scene = ActiveScene();
        return scene ? scene->GetSceneName().c_str() : "";
    });
}
