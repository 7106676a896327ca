#include "engine/vantorell_exec.h"

#include "engine/engine.h"
#include "platform/sdl/sdl_host.h"

#include <cstdio>

void VantorellExec(int argc, char** argv, TGameMainFunction main, bool flag)
{
    std::unique_ptr<TPlatformHost> host;
    try {
        host = std::make_unique<TSdlHost>();
    } catch (...) {
        std::fputs("Unhandled exception\n", stderr);
        return;
    }
    RunEngine(std::move(host), argc, argv, main, flag);
}
