#include "game/interface/windows/game_window_types.h"

#include "ui/window/window_manager.h"

void RegisterGameWindowType(TWindowManager* manager, const char* name, TClassId id, TWindowCreateFunction create)
{
    RegisterWindowClass(id, name, create);
    if (manager)
        manager->AddWindowType(name, id);
}
