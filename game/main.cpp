// Process entry of the game.

#include "game/startup/engine_links.h"
#include "game/startup/game_main.h"
#include "game/startup/gantrimole_init.h"
#include "platform/sdl_shell/vantorell_exec.h"

int main(int argc, char** argv)
{
    InstallEngineLinks();
    GantrimoleInit();
    VantorellExec(argc, argv, Main, false);
    return 0;
}
