#include "game/world/actor/item_in_use.h"

#include "game/world/state/gamestate.h"

str ItemInUse()
{
    return gGamestate.GetInvUsage_Raw();
}

void ClearItemInUse()
{
    gGamestate.ClearInvUsage();
}
