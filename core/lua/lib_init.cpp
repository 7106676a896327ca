// Opening every standard library at once.
#include "lauxlib.h"
#include "lualib.h"

namespace {

const luaL_reg kLibraries[] = {
    {"", luaopen_base},
    {LUA_TABLIBNAME, luaopen_table},
    {LUA_IOLIBNAME, luaopen_io},
    {LUA_OSLIBNAME, luaopen_os},
    {LUA_STRLIBNAME, luaopen_string},
    {LUA_MATHLIBNAME, luaopen_math},
    {LUA_DBLIBNAME, luaopen_debug},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API void luaL_openlibs(lua_State* L) {
  for (const luaL_reg* lib = kLibraries; lib->func; lib++) {
    lua_pushcfunction(L, lib->func);
    lua_pushstring(L, lib->name);
    lua_call(L, 1, 0);
  }
}
