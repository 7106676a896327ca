#include "game/interface/windows/game_window_types.h"

#include "game/interface/windows/df_button.h"
#include "game/interface/windows/df_text.h"
#include "game/interface/windows/df_window.h"
#include "ui/window/window_manager.h"

void RegisterGameWindowType(TWindowManager* manager, const char* name, TClassId id, TWindowCreateFunction create)
{
    RegisterWindowClass(id, name, create);
    if (manager)
        manager->AddWindowType(name, id);
}

namespace {

template <class T>
void Register(TWindowManager* manager, const char* name)
{
    RegisterGameWindowType(manager, name, T::ClassId(), &T::DynamicCreate);
}

}  // namespace

void RegisterGameWindowTypes(TWindowManager* manager)
{
    Register<dfWindow>(manager, "dfWindow");
    Register<dfText>(manager, "dfText");
    Register<OutlineText>(manager, "Text");
    Register<dfTextX>(manager, "dfTextX");
    Register<tDFButton>(manager, "tDFButton");
    Register<dfModalWindow>(manager, "dfModalWindow");
}
