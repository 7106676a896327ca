#include "game/world/state/gamestate_lua.h"

#include "game/world/common/world_lua.h"
#include "game/world/diary/diary_lua.h"
#include "game/world/inventory/inventory_lua.h"
#include "game/world/quest/quest_lua.h"
#include "game/world/state/gamestate.h"

namespace {

int LuaSetString(lua_State* L)
{
    tGamestate* game = WorldSelf<tGamestate>(L);
    if (!game)
        return 0;
    game->SetString(LuaArgStr(L, 2), lua_isnil(L, 3) ? nullptr : LuaArgStr(L, 3).c_str());
    return 0;
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
    SetWorldMethod<&tGamestate::GetLastScene>(L, "GetLastScene");
    SetWorldMethod<&tGamestate::GetCurrentScene>(L, "GetCurrentScene");
    SetWorldMethod<&tGamestate::SetReturnFromScene>(L, "SetReturnFromScene");
    SetWorldMethod<&tGamestate::UseInventory>(L, "UseInventory");
    SetWorldMethod<&tGamestate::GetInvUsage>(L, "GetInvUsage");
    SetWorldMethod<&tGamestate::GetInvUsage_CantUse>(L, "GetInvUsage_CantUse");
    SetWorldMethod<&tGamestate::GetString>(L, "GetString");
    SetWorldMethod(L, "SetString", LuaSetString);
    SetWorldMethod<&tGamestate::Set>(L, "Set");
    SetWorldMethod<&tGamestate::Get>(L, "Get");
    SetWorldMethod(L, "SaveGame", LuaSaveGame);
    SetWorldMethod(L, "LoadGame", LuaLoadGame);
    SetWorldMethod<&tGamestate::EarnAward>(L, "EarnAward");
    SetWorldMethod<&tGamestate::HasAward>(L, "HasAward");
    SetWorldMethod<&tGamestate::TaskComplete>(L, "TaskComplete");
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
