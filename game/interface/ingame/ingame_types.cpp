#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/ingame/world_scene_link.h"
#include "game/interface/windows/df_window.h"
#include "game/interface/windows/game_window_types.h"
#include "game/interface/windows/window_helpers.h"
#include "game/startup/game_steps.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/state/interface_settings.h"
#include "ui/window/window_manager.h"

namespace {

// The game window's part of that name or, without a game window, the screen's.
void SwitchInterfaceWindow(const char* child, bool enable)
{
    TWindow* root = g_pGame;
    if (!root)
        if (TWindowManager* wm = TWindowManager::GetInstance())
            root = wm->GetScreen();
    SetWindowEnable(root ? root->GetChildWindow(child, unsigned(-1)) : nullptr, enable);
}

}  // namespace

void InstallInGameSteps()
{
    InstallWorldSceneLink();
    SetInterfaceWindowHook(&SwitchInterfaceWindow);
    SetCursorHook([](const str& name) { CursorManager().ActivateCursor(name); });
    TGameSteps& steps = GameSteps();
    steps.newModalWindow = []() -> TModalWindow* { return new dfModalWindow; };
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
