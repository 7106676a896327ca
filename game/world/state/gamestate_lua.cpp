#include "game/world/state/gamestate_lua.h"

#include "game/world/common/world_lua.h"
#include "game/world/diary/diary_lua.h"
#include "game/world/inventory/inventory_lua.h"
#include "game/world/quest/quest_lua.h"
#include "game/world/state/gamestate.h"

namespace {

#define GAME_SELF(name)                                 \
    tGamestate* game = WorldSelf<tGamestate>(L, name);  \
    if (!game)                                          \
        return 0

int PushStr(lua_State* L, const str& s)
{
    lua_pushstring(L, s.c_str());
    return 1;
}

int LuaGetLastScene(lua_State* L)
{
    GAME_SELF("GetLastScene");
    return PushStr(L, game->GetLastScene());
}

int LuaGetCurrentScene(lua_State* L)
{
    GAME_SELF("GetCurrentScene");
    return PushStr(L, game->GetCurrentScene());
}

int LuaSetReturnFromScene(lua_State* L)
{
    GAME_SELF("SetReturnFromScene");
    game->SetReturnFromScene(LuaArgStr(L, 2));
    return 0;
}

int LuaUseInventory(lua_State* L)
{
    GAME_SELF("UseInventory");
    game->UseInventory(LuaArgInt(L, 2), LuaArgInt(L, 3));
    return 0;
}

int LuaGetInvUsage(lua_State* L)
{
    GAME_SELF("GetInvUsage");
    return PushStr(L, game->GetInvUsage());
}

int LuaGetInvUsageCantUse(lua_State* L)
{
    GAME_SELF("GetInvUsage_CantUse");
    return PushStr(L, game->GetInvUsage_CantUse());
}

int LuaGetString(lua_State* L)
{
    GAME_SELF("GetString");
    return PushStr(L, game->GetString(LuaArgStr(L, 2)));
}

int LuaSetString(lua_State* L)
{
    GAME_SELF("SetString");
    game->SetString(LuaArgStr(L, 2), lua_isnil(L, 3) ? nullptr : LuaArgStr(L, 3).c_str());
    return 0;
}

int LuaSet(lua_State* L)
{
    GAME_SELF("Set");
    game->Set(LuaArgStr(L, 2), LuaArgInt(L, 3));
    return 0;
}

int LuaGet(lua_State* L)
{
    GAME_SELF("Get");
    lua_pushnumber(L, game->Get(LuaArgStr(L, 2)));
    return 1;
}

int LuaSaveGame(lua_State* L)
{
    lua_pushboolean(L, lf_SaveGame());
    return 1;
}

int LuaLoadGame(lua_State* L)
{
    lua_pushboolean(L, lf_LoadGame());
    return 1;
}

int LuaEarnAward(lua_State* L)
{
    GAME_SELF("EarnAward");
    game->EarnAward(LuaArgStr(L, 2));
    return 0;
}

int LuaHasAward(lua_State* L)
{
    GAME_SELF("HasAward");
    lua_pushboolean(L, game->HasAward(LuaArgStr(L, 2)));
    return 1;
}

int LuaTaskComplete(lua_State* L)
{
    GAME_SELF("TaskComplete");
    game->TaskComplete(LuaArgStr(L, 2));
    return 0;
}

void SetGlobal(lua_State* L, const str& name, void* object, void (*add)(lua_State*))
{
    lua_pushstring(L, name.c_str());
    PushWorldObject(L, object);
    add(L);
    lua_settable(L, LUA_GLOBALSINDEX);
}

}  // namespace

void GamestateLuaAdd(lua_State* L)
{
    SetWorldMethod(L, "GetLastScene", LuaGetLastScene);
    SetWorldMethod(L, "GetCurrentScene", LuaGetCurrentScene);
    SetWorldMethod(L, "SetReturnFromScene", LuaSetReturnFromScene);
    SetWorldMethod(L, "UseInventory", LuaUseInventory);
    SetWorldMethod(L, "GetInvUsage", LuaGetInvUsage);
    SetWorldMethod(L, "GetInvUsage_CantUse", LuaGetInvUsageCantUse);
    SetWorldMethod(L, "GetString", LuaGetString);
    SetWorldMethod(L, "SetString", LuaSetString);
    SetWorldMethod(L, "Set", LuaSet);
    SetWorldMethod(L, "Get", LuaGet);
    SetWorldMethod(L, "SaveGame", LuaSaveGame);
    SetWorldMethod(L, "LoadGame", LuaLoadGame);
    SetWorldMethod(L, "EarnAward", LuaEarnAward);
    SetWorldMethod(L, "HasAward", LuaHasAward);
    SetWorldMethod(L, "TaskComplete", LuaTaskComplete);
}

void AddInstanceToLua(tGamestate& state, lua_State* L)
{
    SetGlobal(L, "game", &state, GamestateLuaAdd);
    for (int b = 0; b < kBagCount; ++b)
        SetGlobal(L, state.GetBag(b)->GetName(), state.GetBag(b), InventoryLuaAdd);
    for (int d = 0; d < kBookCount; ++d)
        SetGlobal(L, state.GetDiary(d)->GetName(), state.GetDiary(d), DiaryLuaAdd);
    SetGlobal(L, "quest", &state.GetQuests(), QuestLuaAdd);
}
