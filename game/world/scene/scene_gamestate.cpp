#include "game/world/scene/scene_gamestate.h"

#include "game/world/state/gamestate.h"

void SetProgressScene(const str& name)
{
    gGamestate.SetScene(name, true);
}

void SaveProgress()
{
    lf_SaveGame();
}

str ProgressReturnScene()
{
    return gGamestate.GetString("returnfromscene");
}

void SetProgressConversation(const str& key)
{
    gGamestate.SetString("conv", key.c_str());
}

const str& ProgressItemInUse()
{
    return gGamestate.GetInvUsage_Raw();
}

bool ProgressHUDEnabled()
{
    return g_HUDEnabled;
}
