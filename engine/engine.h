#pragma once
// The engine's assembly around one run of a main function: the renderer with its OpenGL
// display handler, the window manager with its window script, the sound manager, the asset
// loaders and the text services, on the given platform host. The program, tools and tests that
// want a whole engine start it here (the program through VantorellExec).
//   RunEngine(std::make_unique<TSdlHost>(), argc, argv, Main, false);

#include "core/platform/platform_data.h"

#include <memory>

class TPlatformHost;

// Returns when main has returned and the engine is torn down; an escaping exception is reported
// as "Unhandled exception" on standard error.
void RunEngine(std::unique_ptr<TPlatformHost> host, int argc, char** argv, TGameMainFunction main, bool flag);
