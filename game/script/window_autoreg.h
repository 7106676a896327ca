#pragma once
// The game's window classes by the type names layouts use. Each class's source file has a
// static entry (autoreg) that registers itself before main; the main function hands every
// entry to the engine's window registry and the window manager.
//   static const AutoRegEntry autoreg[] = {{"TGame", TGame::ClassId(), &TGame::DynamicCreate}};
//
// A static library drops object files nothing refers to, so the program links the objects of
// the window libraries whole (game/CMakeLists.txt).

#include <vector>

#include "core/system/class_id.h"
#include "ui/window/window.h"

class TWindowManager;

struct AutoRegEntry
{
    // Appends itself to ClassAutoReg().
    AutoRegEntry(const char* name, TClassId id, TWindowCreateFunction creator);
    AutoRegEntry(const AutoRegEntry&) = delete;
    AutoRegEntry& operator=(const AutoRegEntry&) = delete;

    const char* name;
    TClassId id;
    TWindowCreateFunction creator;
};

// In registration order; made on first use.
std::vector<AutoRegEntry*>& ClassAutoReg();

// Every entry into the engine's window registry and the manager, in registration order (a
// name registered again, like "Text", takes the game's class).
void AddAutoRegWindowTypes(TWindowManager* manager);
