// Process entry of the game.

#include "engine/vantorell_exec.h"
#include "game/interface/diary/diary_window_types.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/widgets/widget_types.h"
#include "game/interface/windows/game_window_types.h"
#include "game/screens/awards/awards_window.h"
#include "game/screens/credits/credits.h"
#include "game/screens/hiscore/hiscore.h"
#include "game/screens/settings/settings_steps.h"
#include "game/screens/submit/server_submit.h"
#include "game/startup/game_main.h"
#include "game/startup/game_steps.h"
#include "game/startup/gantrimole_init.h"

int main(int argc, char** argv)
{
    GantrimoleInit();
    InstallSettingsSteps();
    InstallInGameSteps();
    GameSteps().registerWindowTypes = [](TWindowManager* manager) {
        RegisterGameWindowTypes(manager);
        RegisterGameWidgetTypes(manager);
        RegisterInGameWindowTypes(manager);
        RegisterCreditsWindowType(manager);
        RegisterAwardsWindowType(manager);
        RegisterDiaryWindowTypes(manager);
        RegisterHiscoreWindowType(manager);
    };
    GameSteps().registerServerSubmit = [] { TServerSubmit::Register(); };
    VantorellExec(argc, argv, Main, false);
    return 0;
}
