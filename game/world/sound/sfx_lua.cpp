#include "game/world/sound/sfx_lua.h"

#include "game/world/common/world_lua.h"
#include "game/world/sound/sfx_manager.h"

void SFXLuaAdd(lua_State* L)
{
    SetWorldMethod<&tSFXManager::PlayVox>(L, "PlayVox");
    SetWorldMethod<&tSFXManager::KillVox>(L, "KillVox");
    SetWorldMethod<&tSFXManager::PlayBGVox>(L, "PlayBGVox");
    SetWorldMethod<&tSFXManager::KillBGVox>(L, "KillBGVox");
    SetWorldMethod<&tSFXManager::PlaySFX>(L, "PlaySFX");
    SetWorldMethod<&tSFXManager::KillSFX>(L, "KillSFX");
    SetWorldMethod<&tSFXManager::SetMusic>(L, "SetMusic");
    SetWorldMethod<&tSFXManager::PlayMusic>(L, "PlayMusic");
    SetWorldMethod<&tSFXManager::KillMusic>(L, "KillMusic");
    SetWorldMethod<&tSFXManager::KillAll>(L, "KillAll");
    SetWorldMethod<&tSFXManager::AdjustBGVoxVolume>(L, "AdjustBGVoxVolume");
}

void AddSFXToLua(tSFXManager& sfx, lua_State* L)
{
    lua_pushstring(L, "sfx");
    PushWorldObject(L, &sfx);
    SFXLuaAdd(L);
    lua_settable(L, LUA_GLOBALSINDEX);
}
