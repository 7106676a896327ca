#pragma once
// The game's window classes by the type names its layouts use, registered after the engine's
// so that the game's "Text" wins. Called from the start-up step that registers window types.

#include "ui/window/window.h"

class TWindowManager;

// Into the engine's class registry and the manager's type names (a later name wins).
void RegisterGameWindowType(TWindowManager* manager, const char* name, TClassId id, TWindowCreateFunction create);

void RegisterGameWindowTypes(TWindowManager* manager);
