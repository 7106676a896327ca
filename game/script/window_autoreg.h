#pragma once
// The game's window classes by the type names layouts use. Each class has a static entry
// (autoreg) that registers itself before main; the main function hands every entry to the
// engine's window registry and the window manager.
//   AutoRegEntry TGame::autoreg("TGame", TGame::ClassId(), &TGame::DynamicCreate);
//
// A static library drops object files nothing refers to: a class known only by its type
// name must be linked whole into the program for its entry to exist.

#include <vector>

#include "core/system/class_id.h"
#include "ui/window/window.h"

class TWindowManager;

struct AutoRegEntry
{
    // Appends itself to ClassAutoReg().
    AutoRegEntry(const char* name, TClassId id, TWindowCreateFunction creator);

    const char* name;
    TClassId id;
    TWindowCreateFunction creator;
};

// In registration order; made on first use.
std::vector<AutoRegEntry*>& ClassAutoReg();

// Every entry into the engine's window registry and the manager, in registration order (a
// name registered again, like "Text", takes the game's class).
void AddAutoRegWindowTypes(TWindowManager* manager);
