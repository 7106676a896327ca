#include "game/world/sound/sfx_lua.h"

#include "game/world/common/world_lua.h"
#include "game/world/sound/sfx_manager.h"

tClassInfo tSFXManager::civ("tSFXManager", nullptr, &tSFXManager::LuaAdd, &baseObj::civ);

void tSFXManager::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tSFXManager::PlayVox, "PlayVox");
    lua.setmethod(&tSFXManager::KillVox, "KillVox");
    lua.setmethod(&tSFXManager::PlayBGVox, "PlayBGVox");
    lua.setmethod(&tSFXManager::KillBGVox, "KillBGVox");
    lua.setmethod(&tSFXManager::PlaySFX, "PlaySFX");
    lua.setmethod(&tSFXManager::KillSFX, "KillSFX");
    lua.setmethod(&tSFXManager::SetMusic, "SetMusic");
    lua.setmethod(&tSFXManager::PlayMusic, "PlayMusic");
    lua.setmethod(&tSFXManager::KillMusic, "KillMusic");
    lua.setmethod(&tSFXManager::KillAll, "KillAll");
    lua.setmethod(&tSFXManager::AdjustBGVoxVolume, "AdjustBGVoxVolume");
}

void tSFXManager::AddInstanceToLua(dfLua& lua)
{
    SetWorldGlobal(lua, "sfx", civ, this);
}

void AddSFXToLua(tSFXManager& sfx, lua_State* L)
{
    dfLua lua(L);
    sfx.AddInstanceToLua(lua);
}
