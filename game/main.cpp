// Process entry of the game.

#include "engine/vantorell_exec.h"
#include "game/interface/widgets/widget_types.h"
#include "game/interface/windows/game_window_types.h"
#include "game/screens/chooseplayer/choose_player.h"
#include "game/screens/choosescene/choose_scene.h"
#include "game/screens/choosescene/game_start.h"
#include "game/screens/mainmenu/main_menu.h"
#include "game/screens/options/options.h"
#include "game/screens/settings/settings_steps.h"
#include "game/startup/game_main.h"
#include "game/startup/game_steps.h"
#include "game/startup/gantrimole_init.h"
#include "game/world/scenelist/scene_list.h"

int main(int argc, char** argv)
{
    GantrimoleInit();
    InstallSettingsSteps([] { StartNewGame(); }, [] { LoadDefaultGame(); });
    GameSteps().loadSceneList = [] { InitializeSceneNames(); };
    GameSteps().registerWindowTypes = [](TWindowManager* manager) {
        RegisterGameWindowTypes(manager);
        RegisterGameWidgetTypes(manager);
        RegisterMainMenuWindowType(manager);
        RegisterChoosePlayerWindowType(manager);
        RegisterChooseSceneWindowType(manager);
        RegisterOptionsWindowType(manager);
    };
    VantorellExec(argc, argv, Main, false);
    return 0;
}
