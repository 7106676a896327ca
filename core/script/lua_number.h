#pragma once
// Lua numbers read as integers by the compiled bindings. A plain cast of NaN or of a value
// beyond the target's range is undefined; these give 0 for NaN and saturate instead.
//   int frame = LuaToInt(L, 1);
//   uint32_t edge = NumberToUnsigned(value);

#include <lauxlib.h>
#include <lua.h>

#include <cstdint>

// Truncates toward zero; NaN gives 0, values beyond the int range the nearest end.
inline int NumberToInt(double value)
{
    return luaL_numbertoint(value);
}

// Truncates toward zero; NaN and negatives give 0, values beyond the range UINT32_MAX.
inline uint32_t NumberToUnsigned(double value)
{
    if (!(value > 0))
        return 0;
    if (value >= 4294967295.0)
        return UINT32_MAX;
    return static_cast<uint32_t>(value);
}

// Truncates toward zero; NaN gives 0, values beyond the 64-bit range the nearest end.
inline long NumberToLong(double value)
{
    return luaL_numbertolong(value);
}

// The value at index as a number (0 when it is none), then NumberToInt.
inline int LuaToInt(lua_State* L, int index)
{
    return NumberToInt(lua_tonumber(L, index));
}

inline uint32_t LuaToUnsigned(lua_State* L, int index)
{
    return NumberToUnsigned(lua_tonumber(L, index));
}
