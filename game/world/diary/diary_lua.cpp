#include "core/debug/debug_log.h"
#include "core/script/lua_table.h"
#include "game/world/common/world_scene.h"
#include "game/world/diary/diary.h"

tClassInfo tDiary::civ("tDiary", &tDiary::Factory, &tDiary::LuaAdd, &baseObj::civ);

namespace {

bool Missing(const str& key)
{
    const tWorldScene* scene = GetWorldScene();
    return !scene || !scene->HasGlobalString(key);
}

}  // namespace

// A missing base_0 does not end the scan of numbered lines, the first missing line after it
// does.
int tDiary::lf_AddDiaryEntry(dfLua& lua)
{
    // Missing arguments read as empty texts; index 1 is the book itself.
    const int top = lua_gettop(lua.GetState());
    auto arg = [&](int fromTop) { return top - fromTop >= 2 ? Get(TypeWrapper<str>(), lua, top - fromTop) : str(); };
    tDiaryEntry e;
    e.key = arg(2);
    e.title = arg(1);
    const str base = arg(0);
    if (!Missing(base)) {
        WriteDbg("BASE BODY [%s]", base.c_str());
        e.body.push_back(base);
    }
    for (int n = 0; n < 20; ++n) {
        const str name = str::getFormatted("%s_%d", base.c_str(), n);
        if (!Missing(name)) {
            WriteDbg("AUTOADDING [%s] as diary entry", name.c_str());
            e.body.push_back(name);
        } else if (n > 0) {
            break;
        }
    }
    AddDiaryEntry(e);
    return 0;
}

int tDiary::lf_AddDiaryTableEntry(dfLua& lua)
{
    lua_State* L = lua.GetState();
    // Index 1 is the book itself: a call without an argument has no entry to read.
    if (lua_gettop(L) < 2 || !lua_istable(L, -1)) {
        WriteDbg("Need a table");
        return 0;
    }
    lua_pushvalue(L, -1);
    TLuaTable table(L);
    tDiaryEntry e;
    e.key = table.GetString(1.0, "");
    e.title = table.GetString(2.0, "");
    for (double i = 3;; ++i) {
        if (!table.PushValue(i))
            break;
        lua_pop(L, 1);
        e.body.push_back(table.GetString(i, ""));
    }
    AddDiaryEntry(e);
    return 0;
}

void tDiary::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tDiary::lf_AddDiaryEntry, "AddDiaryEntry");
    lua.setmethod(&tDiary::lf_AddDiaryTableEntry, "AddDiaryTableEntry");
    lua.setmethod(&tDiary::RemoveDiaryEntry, "RemoveDiaryEntry");
}
