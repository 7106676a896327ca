#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/ingame/world_scene_link.h"
#include "game/screens/settings/settings.h"
#include "game/startup/game_steps.h"
#include "game/world/scene/scene_hooks.h"

void InstallInGameSteps()
{
    InstallWorldSceneLink();
    SetMusicVolumeHook(&AdjustMusicVolume);
    SetCursorHook([](const str& name) { CursorManager().ActivateCursor(name); });
    TGameSteps& steps = GameSteps();
    steps.gameRoot = []() -> TWindow* { return g_pGame; };
    steps.pausify = [] {
        if (g_pGame)
            g_pGame->Pausify();
    };
    steps.diaryPopup = [] {
        if (g_pGame)
            g_pGame->DiaryPopup();
    };
}
