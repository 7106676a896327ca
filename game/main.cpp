// Process entry of the game.

#include "engine/vantorell_exec.h"
#include "game/startup/game_main.h"
#include "game/screens/settings/settings_steps.h"
#include "game/startup/gantrimole_init.h"

int main(int argc, char** argv)
{
    GantrimoleInit();
    InstallSettingsSteps();
    VantorellExec(argc, argv, Main, false);
    return 0;
}
