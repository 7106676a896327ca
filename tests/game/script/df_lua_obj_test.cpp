#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/log_capture.h"
#include "game/script/df_lua_obj.h"

namespace {

class LuaRefs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        lua.open();
        lua.openlibs();
        L = lua.GetState();
    }
    void Run(const char* code)
    {
        ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "test"), 0);
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    }
    std::unique_ptr<dfLuaTable> Global(const char* name)
    {
        lua_getglobal(L, name);
        return std::make_unique<dfLuaTable>(lua, name);
    }
    // Number of registry entries keyed by a light userdata.
    int Anchors()
    {
        int n = 0;
        lua_pushnil(L);
        while (lua_next(L, LUA_REGISTRYINDEX)) {
            if (lua_type(L, -2) == LUA_TLIGHTUSERDATA)
                ++n;
            lua_pop(L, 1);
        }
        return n;
    }
    dfLua lua;
    lua_State* L = nullptr;
};

}  // namespace

TEST_F(LuaRefs, TableAccessorsLeaveTheStackAlone)
{
    Run("t = { name = 'door', n = 2.9, flag = true, sub = { x = 1 }, [1] = 'first', [2] = 7.5, f = print }");
    auto t = Global("t");
    ASSERT_EQ(lua_gettop(L), 0);
    EXPECT_TRUE(t->istable());
    EXPECT_FALSE(t->isfunction());
    EXPECT_EQ(t->getfield_as_string("name"), str("door"));
    EXPECT_EQ(t->getfield_as_string("n"), str("2.9"));
    EXPECT_EQ(t->getfield_as_string("sub"), str());
    EXPECT_EQ(t->getfield_as_string(1), str("first"));
    EXPECT_EQ(t->getfield_as_integer("n"), 2);
    EXPECT_EQ(t->getfield_as_integer("flag"), 1);
    EXPECT_FLOAT_EQ(t->getfield_as_number("n"), 2.9f);
    EXPECT_FLOAT_EQ(t->getfield_as_number(2), 7.5f);
    EXPECT_TRUE(t->hasfield("sub"));
    EXPECT_FALSE(t->hasfield("missing"));
    EXPECT_TRUE(t->hasfield(1));
    EXPECT_FALSE(t->hasfield(3));
    EXPECT_EQ(t->getn(), 2);
    EXPECT_EQ(t->getfield_as_table("n"), nullptr);
    auto sub = t->getfield_as_table("sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->getfield_as_integer("x"), 1);
    auto f = t->getfield_as_obj("f");
    EXPECT_TRUE(f->isfunction());
    t->getfield("name");
    EXPECT_STREQ(lua_tostring(L, -1), "door");
    lua_pop(L, 1);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaRefs, WritesReachTheScriptTable)
{
    Run("t = { old = 1 } other = { 'v' }");
    auto t = Global("t");
    auto other = Global("other");
    t->setenumvalue("n", -6);
    t->setfield("copy", other.get());
    t->zapfield("old");
    Run("assert(t.n == -6) assert(t.copy == other) assert(t.old == nil)");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaRefs, ValuesMoveAcrossThreadsOfOneState)
{
    Run("t = {}");
    auto t = Global("t");
    dfLua thread(lua.newthread());
    lua_pushstring(thread.GetState(), "from the thread");
    dfLuaObj value(thread, "value");
    t->setfield("v", &value);
    EXPECT_EQ(t->getfield_as_string("v"), str("from the thread"));
    lua_pop(L, 1);  // the thread
}

TEST_F(LuaRefs, AnchorLastsAsLongAsTheReference)
{
    const int before = Anchors();
    Run("t = { x = 3 }");
    auto t = Global("t");
    EXPECT_EQ(Anchors(), before + 1);
    EXPECT_NE(t->GetId(), 0u);
    auto second = Global("t");
    EXPECT_EQ(second->GetId(), t->GetId() + 1);
    t.reset();
    second.reset();
    EXPECT_EQ(Anchors(), before);
    Run("assert(t.x == 3)");  // the table itself lives on in the script
}

TEST_F(LuaRefs, AReferenceToNoTableReadsNil)
{
    lua_pushnumber(L, 4);
    dfLuaTable notTable(lua, "n");
    EXPECT_FALSE(notTable.hasfield("x"));
    EXPECT_EQ(notTable.getfield_as_string("x"), str());
    EXPECT_EQ(notTable.getn(), 0);
    notTable.setenumvalue("x", 1);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaRefs, AnEmptyStackIsAsserted)
{
    TLogCapture log;
    dfLuaObj nothing(lua, "nothing");
    EXPECT_NE(log.Text().find("ASSERT: dfL.gettop() >= 1"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), 0);
}
