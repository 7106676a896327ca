// Process entry of the game.

#include "engine/vantorell_exec.h"
#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/inventory/inventory_window_types.h"
#include "game/interface/sprites/sprite_window_types.h"
#include "game/interface/widgets/widget_types.h"
#include "game/interface/windows/game_window_types.h"
#include "game/screens/settings/settings_steps.h"
#include "game/startup/game_main.h"
#include "game/startup/game_steps.h"
#include "game/startup/gantrimole_init.h"
#include "game/world/scenelist/scene_list.h"

int main(int argc, char** argv)
{
    GantrimoleInit();
    InstallSettingsSteps();
    GameSteps().registerWindowTypes = [](TWindowManager* manager) {
        RegisterGameWindowTypes(manager);
        RegisterGameWidgetTypes(manager);
        RegisterInventoryWindowTypes(manager);
        RegisterSpriteWindowTypes(manager);
    };
    InstallCursorManager();
    GameSteps().loadSceneList = [] { InitializeSceneNames(); };
    GameSteps().releaseCursors = [] { CursorManager().ReleaseTextures(); };
    VantorellExec(argc, argv, Main, false);
    return 0;
}
