#include "core/script/lua_value_text.h"

str LuaValueText(lua_State* L, int index)
{
    const int type = lua_type(L, index);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
        // Converting a copy leaves a number in its slot a number.
        lua_pushvalue(L, index);
        str text(lua_tostring(L, -1));
        lua_pop(L, 1);
        return text;
    }
    if (type == LUA_TNONE)
        return "(no error object)";
    return str::getFormatted("(error object is a %s value)", lua_typename(L, type));
}
