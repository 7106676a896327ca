#pragma once
// The engine's entry: assembles the engine on the SDL platform host, runs the game's main
// function and tears everything down.
//   int main(int argc, char** argv) { GameInit(); VantorellExec(argc, argv, Main, false); return 0; }

#include "core/platform/platform_data.h"

void VantorellExec(int argc, char** argv, TGameMainFunction main, bool flag);
