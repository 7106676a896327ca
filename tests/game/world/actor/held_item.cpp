#include "held_item.h"

#include "game/world/fake_scene.h"
#include "game/world/state/gamestate.h"

void HoldItem(const char* key)
{
    gGamestate.ClearInvUsage();
    tInventory* bag = gGamestate.GetBag(BAG_INV);
    bag->AddInventory(key, tInventoryEntry(), false);
    FakeScene scene;  // items are taken up only while the heroine follows clicks
    gGamestate.UseInventory(BAG_INV, bag->GetInventoryIndex(key));
}
