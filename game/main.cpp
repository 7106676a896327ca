// Process entry of the game.

#include "engine/vantorell_exec.h"
#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/diary/diary_window_types.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/inventory/inventory_window_types.h"
#include "game/interface/sprites/sprite_window_types.h"
#include "game/interface/subgame/sub_game.h"
#include "game/interface/widgets/widget_types.h"
#include "game/interface/windows/game_window_types.h"
#include "game/screens/awards/awards_window.h"
#include "game/screens/chooseplayer/choose_player.h"
#include "game/screens/choosescene/choose_scene.h"
#include "game/screens/choosescene/game_start.h"
#include "game/screens/credits/credits.h"
#include "game/screens/hiscore/hiscore.h"
#include "game/screens/mainmenu/main_menu.h"
#include "game/screens/options/options.h"
#include "game/screens/settings/settings_steps.h"
#include "game/screens/submit/server_submit.h"
#include "game/startup/game_main.h"
#include "game/startup/game_steps.h"
#include "game/startup/gantrimole_init.h"

int main(int argc, char** argv)
{
    GantrimoleInit();
    InstallSettingsSteps([] { StartNewGame(); }, [] { LoadDefaultGame(); });
    InstallInGameSteps();
    GameSteps().registerWindowTypes = [](TWindowManager* manager) {
        RegisterGameWindowTypes(manager);
        RegisterGameWidgetTypes(manager);
        RegisterInGameWindowTypes(manager);
        RegisterMainMenuWindowType(manager);
        RegisterChoosePlayerWindowType(manager);
        RegisterChooseSceneWindowType(manager);
        RegisterOptionsWindowType(manager);
        RegisterCreditsWindowType(manager);
        RegisterAwardsWindowType(manager);
        RegisterDiaryWindowTypes(manager);
        RegisterInventoryWindowTypes(manager);
        RegisterSpriteWindowTypes(manager);
        RegisterHiscoreWindowType(manager);
        RegisterSubGameWindowType(manager);
    };
    InstallCursorManager();
    GameSteps().releaseCursors = [] { CursorManager().ReleaseTextures(); };
    GameSteps().registerServerSubmit = [] { TServerSubmit::Register(); };
    VantorellExec(argc, argv, Main, false);
    return 0;
}
