#include "progress_probe.h"

#include "game/world/fake_scene.h"
#include "game/world/state/gamestate.h"

void ResetProgress()
{
    gGamestate.clear();
}

std::string ProgressScene()
{
    return gGamestate.GetCurrentScene().c_str();
}

std::string ProgressLastScene()
{
    return gGamestate.GetLastScene().c_str();
}

std::string ProgressText(const char* name)
{
    return gGamestate.GetString(name).c_str();
}

void SetProgressText(const char* name, const char* value)
{
    gGamestate.SetString(name, value);
}

void HoldItem(const char* key)
{
    gGamestate.clear();
    FakeScene followingClicks;
    gGamestate.GetBag(0)->AddInventory(key, tInventoryEntry(), false);
    gGamestate.UseInventory(0, 0);
}

void DropItem()
{
    gGamestate.ClearInvUsage();
}
