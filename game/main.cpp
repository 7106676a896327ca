// Process entry of the game.

#include "engine/vantorell_exec.h"
#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/ingame/game_window.h"
#include "game/screens/choosescene/game_start.h"
#include "game/screens/settings/settings_steps.h"
#include "game/screens/submit/server_submit.h"
#include "game/startup/game_main.h"
#include "game/startup/game_steps.h"
#include "game/startup/gantrimole_init.h"

int main(int argc, char** argv)
{
    GantrimoleInit();
    InstallSettingsSteps(&StartNewGame, &LoadDefaultGame);
    InstallInGameSteps();
    InstallCursorManager();
    GameSteps().releaseCursors = [] { CursorManager().ReleaseTextures(); };
    GameSteps().registerServerSubmit = [] { TServerSubmit::Register(); };
    VantorellExec(argc, argv, Main, false);
    return 0;
}
