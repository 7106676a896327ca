#include "game/world/common/world_lua.h"

#include "core/script/lua_table.h"
#include "game/script/class_info.h"

namespace {

bool HasClassTable(lua_State* L, const char* name)
{
    lua_getglobal(L, "vtable");
    bool found = false;
    if (lua_istable(L, -1)) {
        lua_pushstring(L, name);
        lua_rawget(L, -2);
        found = lua_istable(L, -1);
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return found;
}

}  // namespace

void SetWorldGlobal(dfLua& lua, const char* name, const tClassInfo& civ, void* object)
{
    if (!HasClassTable(lua.GetState(), civ.name))
        tClassInfo::AddAllClassInfoToLua(lua);
    lua.newcobject(civ.name, object);
    lua.setglobal(name);
}

str LuaFieldStr(const TLuaTable& table, const char* key)
{
    if (!table.PushValue(key))
        return str();
    lua_State* L = table.GetState();
    const char* text = lua_tostring(L, -1);
    str out = text ? str(text) : str();
    lua_pop(L, 1);
    return out;
}
