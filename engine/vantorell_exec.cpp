#include "engine/vantorell_exec.h"

#include "engine/engine.h"
#include "platform/sdl/sdl_host.h"

#include <cstdio>
#include <cstdlib>

void VantorellExec(int argc, char** argv, TGameMainFunction main, bool flag)
{
    std::unique_ptr<TSdlHost> host;
    try {
        host = std::make_unique<TSdlHost>();
    } catch (...) {
        std::fputs("Unhandled exception\n", stderr);
        return;
    }
    // Nobody would see the game, and it would keep the player's folder from another copy: it
    // ends before anything of it starts, as a window it cannot make would end it.
    if (!host->MissingDisplay().empty()) {
        std::fprintf(stderr, "The game cannot start: there is no display to show it on: %s.\n",
                     host->MissingDisplay().c_str());
        host.reset();
        std::exit(-2);
    }
    RunEngine(std::move(host), argc, argv, main, flag);
}
