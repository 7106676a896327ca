#include "game/world/sound/sfx_lua.h"

#include "game/world/common/world_lua.h"
#include "game/world/sound/sfx_manager.h"

namespace {

#define SFX_SELF(name)                                   \
    tSFXManager* sfx = WorldSelf<tSFXManager>(L, name);  \
    if (!sfx)                                            \
        return 0

int LuaPlayVox(lua_State* L)
{
    SFX_SELF("PlayVox");
    sfx->PlayVox(LuaArgStr(L, 2), LuaArgStr(L, 3));
    return 0;
}

int LuaKillVox(lua_State* L)
{
    SFX_SELF("KillVox");
    sfx->KillVox();
    return 0;
}

int LuaPlayBGVox(lua_State* L)
{
    SFX_SELF("PlayBGVox");
    sfx->PlayBGVox(LuaArgStr(L, 2), LuaArgStr(L, 3));
    return 0;
}

int LuaKillBGVox(lua_State* L)
{
    SFX_SELF("KillBGVox");
    sfx->KillBGVox();
    return 0;
}

int LuaPlaySFX(lua_State* L)
{
    SFX_SELF("PlaySFX");
    sfx->PlaySFX(LuaArgStr(L, 2), LuaArgInt(L, 3) != 0);
    return 0;
}

int LuaKillSFX(lua_State* L)
{
    SFX_SELF("KillSFX");
    sfx->KillSFX();
    return 0;
}

int LuaSetMusic(lua_State* L)
{
    SFX_SELF("SetMusic");
    sfx->SetMusic(LuaArgStr(L, 2), LuaArgInt(L, 3) != 0);
    return 0;
}

int LuaPlayMusic(lua_State* L)
{
    SFX_SELF("PlayMusic");
    sfx->PlayMusic(LuaArgStr(L, 2), LuaArgInt(L, 3) != 0);
    return 0;
}

int LuaKillMusic(lua_State* L)
{
    SFX_SELF("KillMusic");
    sfx->KillMusic();
    return 0;
}

int LuaKillAll(lua_State* L)
{
    SFX_SELF("KillAll");
    sfx->KillAll();
    return 0;
}

int LuaAdjustBGVoxVolume(lua_State* L)
{
    SFX_SELF("AdjustBGVoxVolume");
    sfx->AdjustBGVoxVolume(float(lua_tonumber(L, 2)));
    return 0;
}

}  // namespace

void SFXLuaAdd(lua_State* L)
{
    SetWorldMethod(L, "PlayVox", LuaPlayVox);
    SetWorldMethod(L, "KillVox", LuaKillVox);
    SetWorldMethod(L, "PlayBGVox", LuaPlayBGVox);
    SetWorldMethod(L, "KillBGVox", LuaKillBGVox);
    SetWorldMethod(L, "PlaySFX", LuaPlaySFX);
    SetWorldMethod(L, "KillSFX", LuaKillSFX);
    SetWorldMethod(L, "SetMusic", LuaSetMusic);
    SetWorldMethod(L, "PlayMusic", LuaPlayMusic);
    SetWorldMethod(L, "KillMusic", LuaKillMusic);
    SetWorldMethod(L, "KillAll", LuaKillAll);
    SetWorldMethod(L, "AdjustBGVoxVolume", LuaAdjustBGVoxVolume);
}

void AddSFXToLua(tSFXManager& sfx, lua_State* L)
{
    lua_pushstring(L, "sfx");
    PushWorldObject(L, &sfx);
    SFXLuaAdd(L);
    lua_settable(L, LUA_GLOBALSINDEX);
}
