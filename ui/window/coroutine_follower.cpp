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

bool PushCoroutineFollower(lua_State* L)
{
    return luaL_loadbuffer(L, kFollowerSource, sizeof kFollowerSource - 1, "=coroutine follower") == 0 &&
           lua_pcall(L, 0, 1, 0) == 0;
}
