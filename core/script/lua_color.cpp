#include "core/script/lua_color.h"

TColor ReadColorElements(lua_State* L, int index)
{
    TColor color;
    if (!lua_istable(L, index))
        return color;
    if (index < 0 && index > LUA_REGISTRYINDEX)
        index = lua_gettop(L) + index + 1;
    float* parts[] = {&color.red, &color.green, &color.blue, &color.alpha};
    for (int i = 0; i < 4; ++i) {
        lua_rawgeti(L, index, i + 1);
        *parts[i] = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    return color;
}
