#pragma once
// Registers one window class by type name, after the engine's (a later name wins).

#include "ui/window/window.h"

class TWindowManager;

// Into the engine's class registry and the manager's type names (a later name wins).
void RegisterGameWindowType(TWindowManager* manager, const char* name, TClassId id, TWindowCreateFunction create);
