#include "core/script/script_exit.h"

#include <lauxlib.h>

namespace {

bool gAsked = false;
std::string gRequest;

int AskToQuit(lua_State* L)
{
    const int code = luaL_optint(L, 1, 0);
    luaL_where(L, 1);
    lua_pushfstring(L, "os.exit(%d) asked to end the game; it ends through its quit path", code);
    lua_concat(L, 2);
    if (!gAsked) {
        gAsked = true;
        gRequest = lua_tostring(L, -1);
    }
    return lua_error(L);
}

}  // namespace

void InstallScriptExit(lua_State* L)
{
    lua_atexit(L, &AskToQuit);
}

bool ScriptAskedToQuit()
{
    return gAsked;
}

const std::string& ScriptQuitRequest()
{
    return gRequest;
}

void ClearScriptQuitRequest()
{
    gAsked = false;
    gRequest.clear();
}
