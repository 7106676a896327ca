#include "platform/sdl_shell/vantorell_exec.h"

#include "core/platform/startup.h"
#include "platform/sdl_shell/sdl_host.h"

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
    RunApplication(std::move(host), argc, argv, main, flag);
}
