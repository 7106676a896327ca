#include "game/world/quest/quest_lua.h"

#include "core/debug/debug_log.h"
#include "core/script/df_lua.h"
#include "game/world/common/world_lua.h"
#include "game/world/common/world_scene.h"
#include "game/world/quest/questset.h"

namespace {

int LuaAddQuest(lua_State* L)
{
    tQuestset* quests = WorldSelf<tQuestset>(L);
    if (!quests)
        return 0;
    const int top = lua_gettop(L);
    if (top <= 3) {
        WriteDbg("Insufficient params for AddQuest()");
        return 0;
    }
    if (lua_type(L, top - 2) != LUA_TSTRING || lua_type(L, top - 1) != LUA_TSTRING || lua_type(L, top) != LUA_TSTRING) {
        WriteDbg("AddQuest params wrong (key, text, animfile)");
        dfLua(L).stackdump("AddQuest");
        return 0;
    }
    tQuestEntry e;
    e.key = LuaArgStr(L, top - 3);
    e.title = WorldLocalise(LuaArgStr(L, top - 2));
    e.body = WorldLocalise(LuaArgStr(L, top - 1));
    e.anim = LuaArgStr(L, top);
    quests->Add(e.key, e);
    return 0;
}

int LuaCheck(lua_State* L)
{
    const tQuestset* quests = WorldSelf<tQuestset>(L);
    if (!quests)
        return 0;
    const int top = lua_gettop(L);
    if (top < 2) {
        WriteDbg("Insufficient params for CheckQuest()");
        return 0;
    }
    if (lua_type(L, top) != LUA_TSTRING) {
        WriteDbg("CheckQuest params wrong (key)");
        dfLua(L).stackdump("CheckQuest");
        lua_pushnil(L);
        return 1;
    }
    switch (quests->Check(LuaArgStr(L, top))) {
    case 1: lua_pushstring(L, "active"); break;
    case 2: lua_pushstring(L, "complete"); break;
    default: lua_pushnil(L); break;
    }
    return 1;
}

}  // namespace

void QuestLuaAdd(lua_State* L)
{
    SetWorldMethod(L, "AddQuest", LuaAddQuest);
    SetWorldMethod<&tQuestset::Complete>(L, "CompleteQuest");
    SetWorldMethod<&tQuestset::Abandon>(L, "AbandonQuest");
    SetWorldMethod(L, "CheckQuest", LuaCheck);
    SetWorldMethod<&tQuestset::Move>(L, "MoveQuest");
}
