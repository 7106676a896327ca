#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <string>

#include "common/log_capture.h"
#include "core/script/df_lua.h"

namespace {

std::string RunLua(lua_State* L, const char* code)
{
    if (luaL_loadbuffer(L, code, std::strlen(code), "t") || lua_pcall(L, 0, 0, 0)) {
        std::string error = lua_tostring(L, -1);
        lua_pop(L, 1);
        return error;
    }
    return "";
}

}  // namespace

TEST(DfLuaState, OwnershipFollowsOpenCloseAndAssign)
{
    dfLua lua;
    EXPECT_EQ(lua.GetState(), nullptr);
    lua.open();
    ASSERT_NE(lua.GetState(), nullptr);
    EXPECT_TRUE(lua.IsOwned());
    lua_State* other = lua_open();
    lua.assign(other, false);  // the owned state is closed, the new one only borrowed
    EXPECT_EQ(lua.GetState(), other);
    EXPECT_FALSE(lua.IsOwned());
    lua.close();
    EXPECT_EQ(lua.GetState(), nullptr);
    // Still open: closing it here must not be a double close.
    lua_pushnumber(other, 1);
    lua_close(other);
}

TEST(DfLuaState, LibrariesGlobalsAndChunks)
{
    dfLua lua;
    lua.open();
    lua.openlibs();
    lua_State* L = lua.GetState();
    EXPECT_EQ(RunLua(L, "assert(io and os and math and debug and string and table)"), "");
    const char* chunk = "x = 5";
    ASSERT_EQ(lua.loadbuffer(chunk, std::strlen(chunk), "chunk"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0);
    lua.getglobal("x");
    EXPECT_EQ(lua.tointeger(-1), 5);
    lua_pushinteger(L, 7);
    lua.setglobal("y");
    lua_pop(L, 1);
    EXPECT_EQ(RunLua(L, "assert(y == 7)"), "");
    EXPECT_NE(lua.loadbuffer("x = = 1", 7, "bad"), 0);
    lua_pop(L, 1);
    const int bytes = 0x01020304;
    void* block = lua.newuserdata(sizeof bytes, &bytes);
    EXPECT_EQ(std::memcmp(block, &bytes, sizeof bytes), 0);
    EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
    lua_pop(L, 1);
    lua_State* thread = lua.newthread();
    EXPECT_NE(thread, L);
    lua_pop(L, 1);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST(DfLuaState, ClassTablesChainToTheirParents)
{
    dfLua lua;
    lua.open();
    lua.openlibs();
    lua_State* L = lua.GetState();
    lua.createvtable("tBase", nullptr);
    lua_pushstring(L, "Base");
    lua_setfield(L, -2, "who");
    lua_pop(L, 1);
    lua.createvtable("tChild", "tBase");
    EXPECT_EQ(lua_gettop(L), 1);
    lua_pop(L, 1);
    int object = 0;
    lua.newcobject("tChild", &object);
    lua_setglobal(L, "o");
    EXPECT_EQ(RunLua(L, "assert(o.who == 'Base') assert(vtable.tChild.__index ~= nil)"), "");
    lua_getglobal(L, "o");
    lua_getfield(L, -1, "this");
    EXPECT_EQ(lua_touserdata(L, -1), &object);
    lua_pop(L, 2);

    TLogCapture log;
    lua.newcobject("tNothing", &object);  // a plain table, logged
    EXPECT_TRUE(lua_istable(L, -1));
    EXPECT_EQ(lua_getmetatable(L, -1), 0);
    lua_pop(L, 1);
    EXPECT_EQ(RunLua(L, "vtable.tBroken = {}"), "");
    lua.createvtable("tBroken", nullptr);
    lua_pop(L, 1);
    const std::string text = log.Text();
    EXPECT_NE(text.find("Failed to newcobject(tNothing)"), std::string::npos) << text;
    EXPECT_NE(text.find("Failed to get __index of mtable for tBroken"), std::string::npos) << text;
    EXPECT_EQ(lua_gettop(L), 0);
}
