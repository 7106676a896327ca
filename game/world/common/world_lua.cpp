#include "game/world/common/world_lua.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_number.h"
#include "core/script/lua_table.h"

void PushWorldObject(lua_State* L, void* object)
{
    lua_newtable(L);
    lua_pushstring(L, "this");
    lua_pushlightuserdata(L, object);
    lua_rawset(L, -3);
}

void* WorldSelf(lua_State* L)
{
    void* object = nullptr;
    if (lua_type(L, 1) == LUA_TTABLE) {
        lua_pushstring(L, "this");
        lua_rawget(L, 1);
        if (lua_type(L, -1) == LUA_TLIGHTUSERDATA)
            object = lua_touserdata(L, -1);
        lua_pop(L, 1);
    }
    if (!object) {
        const char* method = lua_tostring(L, lua_upvalueindex(1));
        WriteDbg("%s: called without its object (use a colon)", method ? method : "?");
    }
    return object;
}

void SetWorldMethod(lua_State* L, const char* name, lua_CFunction function)
{
    lua_pushstring(L, name);
    lua_pushstring(L, name);
    lua_pushcclosure(L, function, 1);
    lua_settable(L, -3);
}

str LuaArgStr(lua_State* L, int index)
{
    const char* s = lua_tostring(L, index);
    return s ? str(s) : str();
}

int LuaArgInt(lua_State* L, int index)
{
    if (lua_isboolean(L, index))
        return lua_toboolean(L, index) ? 1 : 0;
    return NumberToInt(lua_tonumber(L, index));
}

str LuaFieldStr(const TLuaTable& table, const char* key)
{
    if (!table.PushValue(key))
        return str();
    lua_State* L = table.GetState();
    str out = LuaArgStr(L, -1);
    lua_pop(L, 1);
    return out;
}
