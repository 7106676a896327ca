#include "game/interface/inventory/inventory_window_types.h"

#include "game/interface/inventory/icon.h"
#include "game/interface/inventory/icon_strip.h"
#include "game/interface/inventory/inv_add_window.h"
#include "game/interface/windows/game_window_types.h"

void RegisterInventoryWindowTypes(TWindowManager* manager)
{
    RegisterGameWindowType(manager, "tIcon", tIcon::ClassId(), &tIcon::DynamicCreate);
    RegisterGameWindowType(manager, "tIconStrip", tIconStrip::ClassId(), &tIconStrip::DynamicCreate);
    RegisterGameWindowType(manager, "tInvAddWindow", tInvAddWindow::ClassId(), &tInvAddWindow::DynamicCreate);
}
