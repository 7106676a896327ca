#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/ingame/intercept_window.h"
#include "game/interface/ingame/menu_party.h"
#include "game/interface/ingame/transition_window.h"
#include "game/interface/ingame/world_scene_link.h"
#include "game/interface/windows/game_window_types.h"
#include "game/startup/game_steps.h"
#include "game/world/scene/scene_hooks.h"

void RegisterInGameWindowTypes(TWindowManager* manager)
{
    RegisterGameWindowType(manager, "TGame", TGame::ClassId(), &TGame::DynamicCreate);
    RegisterGameWindowType(manager, "tIntercept", tIntercept::ClassId(), &tIntercept::DynamicCreate);
    RegisterGameWindowType(manager, "tTransitionWindow", tTransitionWindow::ClassId(),
                           &tTransitionWindow::DynamicCreate);
    RegisterGameWindowType(manager, "tMenuParty", tMenuParty::ClassId(), &tMenuParty::DynamicCreate);
    RegisterGameWindowType(manager, "TOverhud", TOverhud::ClassId(), &TOverhud::DynamicCreate);
}

void InstallInGameSteps()
{
    InstallWorldSceneLink();
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
