#include "game/world/clock/pause_lua.h"

#include "game/world/clock/pause.h"

namespace {

int LuaEnterPause(lua_State*)
{
    EnterPause();
    return 0;
}

int LuaExitPause(lua_State*)
{
    ExitPause();
    return 0;
}

int LuaIsPaused(lua_State* L)
{
    lua_pushboolean(L, IsPaused());
    return 1;
}

}  // namespace

void BindPauseFunctions(lua_State* L)
{
    lua_register(L, "EnterPause", LuaEnterPause);
    lua_register(L, "ExitPause", LuaExitPause);
    lua_register(L, "IsPaused", LuaIsPaused);
}
