#include "game/world/diary/diary_lua.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_table.h"
#include "game/world/common/world_lua.h"
#include "game/world/common/world_scene.h"
#include "game/world/diary/diary.h"

namespace {

bool Missing(const str& key)
{
    const tWorldScene* scene = GetWorldScene();
    return tDiary::NoString(scene ? scene->GlobalString(key) : str());
}

// Key, title and base key: the base's string and its numbered lines base_0, base_1, ...
// (a missing base_0 does not end the scan, the first missing line after it does).
int LuaAddDiaryEntry(lua_State* L)
{
    tDiary* diary = WorldSelf<tDiary>(L);
    if (!diary)
        return 0;
    // Missing arguments read as empty texts; index 1 is the object itself.
    const int top = lua_gettop(L);
    auto arg = [&](int fromTop) { return top - fromTop >= 2 ? LuaArgStr(L, top - fromTop) : str(); };
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
    diary->AddDiaryEntry(e);
    return 0;
}

int LuaAddDiaryTableEntry(lua_State* L)
{
    tDiary* diary = WorldSelf<tDiary>(L);
    if (!diary)
        return 0;
    if (!lua_istable(L, -1)) {
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
    diary->AddDiaryEntry(e);
    return 0;
}

}  // namespace

void DiaryLuaAdd(lua_State* L)
{
    SetWorldMethod(L, "AddDiaryEntry", LuaAddDiaryEntry);
    SetWorldMethod(L, "AddDiaryTableEntry", LuaAddDiaryTableEntry);
    SetWorldMethod<&tDiary::RemoveDiaryEntry>(L, "RemoveDiaryEntry");
}
