#include "ui/window/coroutine_follower.h"

#include "lauxlib.h"
#include "lua.h"

namespace {

const char kFollowerSource[] =
    "return function(t, delay)\n"
    "  while coroutine.status(t) ~= 'dead' do\n"
    "    local ok, after = coroutine.resume(t, HandleGetMessage(delay))\n"
    "    if not ok then return false, after end\n"
    "    delay = after\n"
    "  end\n"
    "  return true\n"
    "end\n";

}  // namespace

bool PushWithFollower(lua_State* L, const char* source, size_t length, const char* name)
{
    const int top = lua_gettop(L);
    // The chunk's function, then the follower, then the call of the one with the other.
    const bool ok = luaL_loadbuffer(L, source, length, name) == 0 && lua_pcall(L, 0, 1, 0) == 0 &&
                    luaL_loadbuffer(L, kFollowerSource, sizeof kFollowerSource - 1, "=coroutine follower") == 0 &&
                    lua_pcall(L, 0, 1, 0) == 0 && lua_pcall(L, 1, 1, 0) == 0;
    if (!ok) {
        // The error message alone.
        lua_insert(L, top + 1);
        lua_settop(L, top + 1);
    }
    return ok;
}
