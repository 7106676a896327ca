// Standard libraries of the script language. Each luaopen_* registers one library in the
// globals of the state; luaL_openlibs opens them all.
#pragma once

#include "lua.h"

#ifndef LUALIB_API
#define LUALIB_API
#endif

#define LUA_COLIBNAME "coroutine"
#define LUA_TABLIBNAME "table"
#define LUA_IOLIBNAME "io"
#define LUA_OSLIBNAME "os"
#define LUA_STRLIBNAME "string"
#define LUA_MATHLIBNAME "math"
#define LUA_DBLIBNAME "debug"

LUALIB_API int luaopen_base(lua_State* L);
LUALIB_API int luaopen_table(lua_State* L);
LUALIB_API int luaopen_io(lua_State* L);
LUALIB_API int luaopen_os(lua_State* L);
LUALIB_API int luaopen_string(lua_State* L);
LUALIB_API int luaopen_math(lua_State* L);
LUALIB_API int luaopen_debug(lua_State* L);

// Opens base (with coroutine), table, io, os, string, math and debug, in that order.
LUALIB_API void luaL_openlibs(lua_State* L);
