#include "game/world/strings/scene_strings_lua.h"

#include "core/debug/debug_log.h"
#include "core/script/df_lua.h"
#include "game/world/strings/localised_strings.h"
#include "game/world/strings/scene_strings.h"

#include <lauxlib.h>

namespace {

void PushStr(lua_State* L, const str& text)
{
    lua_pushlstring(L, text.c_str(), text.length());
}

// The key on the top of the stack, or false (with the stack dumped and a log line).
bool KeyOnTop(lua_State* L, const char* title, const char* complaint, str* key)
{
    if (lua_gettop(L) < 1 || lua_type(L, -1) != LUA_TSTRING) {
        dfLua(L).stackdump(title);
        WriteDbg("%s", complaint);
        return false;
    }
    *key = str(lua_tostring(L, -1), lua_strlen(L, -1));
    return true;
}

}  // namespace

int LuaGrabString(lua_State* L, tSceneStrings& strings)
{
    str key;
    if (!KeyOnTop(L, "grabstring", "BAD CALL OF grabstring", &key))
        return 0;
    const str text = strings.grabstring(key);
    if (text.empty() || text[0] == '#')
        return 0;
    PushStr(L, text);
    return 1;
}

int LuaGrabFormattedString(lua_State* L, tSceneStrings& strings)
{
    if (lua_gettop(L) < 2 || lua_type(L, -2) != LUA_TSTRING || lua_type(L, -1) != LUA_TTABLE) {
        dfLua(L).stackdump("grabformattedstring");
        WriteDbg("grabformattedstring takes a key and a paramtable");
        return 0;
    }
    const int n = luaL_getn(L, -1);
    if (n > int(tSceneStrings::kMaxParams)) {
        WriteDbg("Too many params (%d) to grabformattedstring", n);
        return 0;
    }
    str params[tSceneStrings::kMaxParams];
    for (int i = 0; i < n; ++i) {
        lua_rawgeti(L, -1, i + 1);
        if (const char* s = lua_tostring(L, -1))
            params[i] = str(s, lua_strlen(L, -1));
        lua_pop(L, 1);
    }
    const str key(lua_tostring(L, -2), lua_strlen(L, -2));
    // Always a text, so that scripts can join it to others: empty where the table has none.
    const str text = strings.grabformattedstring(key, unsigned(n), params);
    PushStr(L, IsMissingString(text) ? str() : text);
    return 1;
}

int LuaGrabSpeechLine(lua_State* L, tSceneStrings& strings)
{
    str key;
    if (!KeyOnTop(L, "grabspeechline", "BAD CALL OF GRABSPEECHLINE", &key))
        return 0;
    str speaker, line;
    strings.grabspeechline(key, &speaker, &line);
    PushStr(L, speaker);
    PushStr(L, line);
    return 2;
}

namespace {

// The table travels as upvalue 1 of each closure.
template <int (*Function)(lua_State*, tSceneStrings&)>
int WithStrings(lua_State* L)
{
    return Function(L, *static_cast<tSceneStrings*>(lua_touserdata(L, lua_upvalueindex(1))));
}

void SetMethod(lua_State* L, tSceneStrings* strings, const char* name, lua_CFunction function)
{
    lua_pushstring(L, name);
    lua_pushlightuserdata(L, strings);
    lua_pushcclosure(L, function, 1);
    lua_settable(L, -3);
}

}  // namespace

void SceneStringsLuaAdd(lua_State* L, tSceneStrings* strings)
{
    SetMethod(L, strings, "grabspeechline", &WithStrings<&LuaGrabSpeechLine>);
    SetMethod(L, strings, "grabstring", &WithStrings<&LuaGrabString>);
    SetMethod(L, strings, "grabformattedstring", &WithStrings<&LuaGrabFormattedString>);
}
