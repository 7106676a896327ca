#pragma once
// Runs a chunk of script in a test and reads globals back.

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <string>

// Runs code (a failure is a test failure) and returns what it logged.
inline std::string RunLua(lua_State* L, const char* code)
{
    TLogCapture log;
    EXPECT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "test") || lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    lua_settop(L, 0);
    return log.Text();
}

// A global as text; "nil" when it has no text form.
inline std::string LuaGlobal(lua_State* L, const char* name)
{
    lua_getglobal(L, name);
    const char* s = lua_tostring(L, -1);
    std::string out = s ? s : "nil";
    lua_pop(L, 1);
    return out;
}
