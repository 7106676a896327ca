#include "game/world/state/gamestate_lua.h"

#include "game/world/common/world_lua.h"
#include "game/world/state/gamestate.h"

tClassInfo tGamestate::civ("tGamestate", &tGamestate::Factory, &tGamestate::LuaAdd, &baseObj::civ);

int tGamestate::lf_SetString(dfLua& lua)
{
    const str name = ::Get(TypeWrapper<str>(), lua, 2);
    SetString(name, lua_isnil(lua.GetState(), 3) ? nullptr : ::Get(TypeWrapper<const char*>(), lua, 3));
    return 0;
}

void tGamestate::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tGamestate::GetLastScene, "GetLastScene");
    lua.setmethod(&tGamestate::GetCurrentScene, "GetCurrentScene");
    lua.setmethod(&tGamestate::SetReturnFromScene, "SetReturnFromScene");
    lua.setmethod(&tGamestate::UseInventory, "UseInventory");
    lua.setmethod(&tGamestate::GetInvUsage, "GetInvUsage");
    lua.setmethod(&tGamestate::GetInvUsage_CantUse, "GetInvUsage_CantUse");
    lua.setmethod(&tGamestate::GetString, "GetString");
    lua.setmethod(&tGamestate::lf_SetString, "SetString");
    lua.setmethod(&tGamestate::Set, "Set");
    lua.setmethod(&tGamestate::Get, "Get");
    lua.setmethod(&tGamestate::SaveCurrentGame, "SaveGame");
    lua.setmethod(&tGamestate::LoadCurrentGame, "LoadGame");
    lua.setmethod(&tGamestate::EarnAward, "EarnAward");
    lua.setmethod(&tGamestate::HasAward, "HasAward");
    lua.setmethod(&tGamestate::TaskComplete, "TaskComplete");
}

void tGamestate::AddInstanceToLua(dfLua& lua)
{
    SetWorldGlobal(lua, "game", civ, this);
    for (tInventory& bag : mBags)
        SetWorldGlobal(lua, bag.GetName().c_str(), tInventory::civ, &bag);
    for (tDiary& book : mDiaries)
        SetWorldGlobal(lua, book.GetName().c_str(), tDiary::civ, &book);
    SetWorldGlobal(lua, "quest", tQuestset::civ, &mQuests);
}

void AddInstanceToLua(tGamestate& state, lua_State* L)
{
    dfLua lua(L);
    state.AddInstanceToLua(lua);
}
