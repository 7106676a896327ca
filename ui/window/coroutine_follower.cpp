#include "ui/window/coroutine_follower.h"

#include "core/lua/lib_support.h"
#include "lauxlib.h"
#include "lua.h"

namespace {

// Given the native marker, gives the follower and the creator of coroutines that it follows.
const char kFollowerSource[] =
    "return function(mark)\n"
    "  local function follow(t, delay)\n"
    "    while coroutine.status(t) ~= 'dead' do\n"
    "      local ok, after = coroutine.resume(t, HandleGetMessage(delay))\n"
    "      if not ok then return false, after end\n"
    "      delay = after\n"
    "    end\n"
    "    return true, delay\n"
    "  end\n"
    "  local function create(f)\n"
    "    local t = coroutine.create(f)\n"
    "    mark(t)\n"
    "    return t\n"
    "  end\n"
    "  return follow, create\n"
    "end\n";

// Registry table of the followed coroutines, keyed by their state's address. Its values are
// weak, so an entry goes with its coroutine, before another coroutine can take the address.
const char kFollowedKey[] = "coroutine follower: followed";

int MarkFollowed(lua_State* L)
{
    lua_State* thread = lua_tothread(L, 1);
    luaL_argcheck(L, thread != nullptr, 1, "coroutine expected");
    tv_lua::PushRegistryTable(L, kFollowedKey, "v");
    lua_pushlightuserdata(L, thread);
    lua_pushvalue(L, 1);
    lua_rawset(L, -3);
    lua_pop(L, 1);
    return 0;
}

}  // namespace

bool PushWithFollower(lua_State* L, const char* source, size_t length, const char* name)
{
    const int top = lua_gettop(L);
    // The chunk's function, then the follower and creator, then the call of the one with them.
    bool ok = luaL_loadbuffer(L, source, length, name) == 0 && lua_pcall(L, 0, 1, 0) == 0 &&
              luaL_loadbuffer(L, kFollowerSource, sizeof kFollowerSource - 1, "=coroutine follower") == 0 &&
              lua_pcall(L, 0, 1, 0) == 0;
    if (ok) {
        lua_pushcfunction(L, MarkFollowed);
        ok = lua_pcall(L, 1, 2, 0) == 0 && lua_pcall(L, 2, 1, 0) == 0;
    }
    if (!ok) {
        // The error message alone.
        lua_insert(L, top + 1);
        lua_settop(L, top + 1);
    }
    return ok;
}

bool IsFollowedCoroutine(lua_State* L)
{
    tv_lua::PushRegistryTable(L, kFollowedKey, "v");
    lua_pushlightuserdata(L, L);
    lua_rawget(L, -2);
    const bool followed = lua_tothread(L, -1) == L;
    lua_pop(L, 2);
    return followed;
}
