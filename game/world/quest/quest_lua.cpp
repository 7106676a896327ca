#include "core/debug/debug_log.h"
#include "game/world/common/world_scene.h"
#include "game/world/quest/questset.h"
#include "render/text/text_escape.h"

namespace {

// The string table's text is its writer's markup; a script's own text (a key the table does
// not hold) is escaped, so that it shows as written wherever the quest is drawn.
str QuestText(const str& keyOrText)
{
    const str text = WorldLocalise(keyOrText);
    return text == keyOrText ? EscapeMarkup(text) : text;
}

}  // namespace

tClassInfo tQuestset::civ("tQuestset", &tQuestset::Factory, &tQuestset::LuaAdd, &baseObj::civ);

int tQuestset::lf_Add(dfLua& lua)
{
    lua_State* L = lua.GetState();
    const int top = lua_gettop(L);
    // Index 1 is the quest set itself.
    if (top <= 3) {
        WriteDbg("Insufficient params for AddQuest()");
        return 0;
    }
    if (lua_type(L, top - 2) != LUA_TSTRING || lua_type(L, top - 1) != LUA_TSTRING || lua_type(L, top) != LUA_TSTRING) {
        WriteDbg("AddQuest params wrong (key, text, animfile)");
        lua.stackdump("AddQuest");
        return 0;
    }
    tQuestEntry e;
    e.key = Get(TypeWrapper<str>(), lua, top - 3);
    e.title = QuestText(Get(TypeWrapper<str>(), lua, top - 2));
    e.body = QuestText(Get(TypeWrapper<str>(), lua, top - 1));
    e.anim = Get(TypeWrapper<str>(), lua, top);
    Add(e.key, e);
    return 0;
}

int tQuestset::lf_Check(dfLua& lua)
{
    lua_State* L = lua.GetState();
    const int top = lua_gettop(L);
    if (top < 2) {
        WriteDbg("Insufficient params for CheckQuest()");
        return 0;
    }
    if (lua_type(L, top) != LUA_TSTRING) {
        WriteDbg("CheckQuest params wrong (key)");
        lua.stackdump("CheckQuest");
        lua_pushnil(L);
        return 1;
    }
    switch (Check(Get(TypeWrapper<str>(), lua, top))) {
    case 1: lua_pushstring(L, "active"); break;
    case 2: lua_pushstring(L, "complete"); break;
    default: lua_pushnil(L); break;
    }
    return 1;
}

void tQuestset::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tQuestset::lf_Add, "AddQuest");
    lua.setmethod(&tQuestset::Complete, "CompleteQuest");
    lua.setmethod(&tQuestset::Abandon, "AbandonQuest");
    lua.setmethod(&tQuestset::lf_Check, "CheckQuest");
    lua.setmethod(&tQuestset::Move, "MoveQuest");
}
