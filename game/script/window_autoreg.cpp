#include "game/script/window_autoreg.h"

#include "ui/window/window_manager.h"

AutoRegEntry::AutoRegEntry(const char* name, TClassId id, TWindowCreateFunction creator)
    : name(name), id(id), creator(creator)
{
    ClassAutoReg().push_back(this);
}

std::vector<AutoRegEntry*>& ClassAutoReg()
{
    static std::vector<AutoRegEntry*> entries;
    return entries;
}

void AddAutoRegWindowTypes(TWindowManager* manager)
{
    for (AutoRegEntry* entry : ClassAutoReg()) {
        RegisterWindowClass(entry->id, entry->name, entry->creator);
        if (manager)
            manager->AddWindowType(entry->name, entry->id);
    }
}
