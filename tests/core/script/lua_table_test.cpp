#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <memory>

#include "core/script/lua_function.h"
#include "core/script/lua_table.h"

namespace {

class LuaTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        L = lua_open();
        luaopen_base(L);
        lua_settop(L, 0);
    }
    void TearDown() override { lua_close(L); }

    void Run(const char* code)
    {
        ASSERT_EQ(luaL_loadbuffer(L, code, strlen(code), "test"), 0) << lua_tostring(L, -1);
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    }

    std::unique_ptr<TLuaTable> Wrap(const char* global)
    {
        lua_getglobal(L, global);
        return std::make_unique<TLuaTable>(L);
    }

    // Collects fully, then tells whether the weak probe still holds entry 1.
    bool ProbeAlive()
    {
        lua_setgcthreshold(L, 0);
        lua_getglobal(L, "probe");
        lua_rawgeti(L, -1, 1);
        const bool alive = !lua_isnil(L, -1);
        lua_pop(L, 2);
        return alive;
    }

    lua_State* L = nullptr;
};

TEST_F(LuaTableTest, TypedReadsWithDefaults)
{
    Run("t = {size = '12', sub = {1}, flag = true, [1] = 'one', [2] = 5, name = 'x'}");
    auto t = Wrap("t");
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(t->GetNumber("size", -1), 12);
    EXPECT_EQ(t->GetNumber("sub", -1), 0);
    EXPECT_EQ(t->GetNumber("flag", -1), 0);
    EXPECT_EQ(t->GetNumber("missing", -1), -1);
    EXPECT_EQ(t->GetNumber(2, -1), 5);
    EXPECT_EQ(t->GetNumber(3, -1), -1);
    EXPECT_STREQ(t->GetString(1, "d").c_str(), "one");
    EXPECT_STREQ(t->GetString(2, "d").c_str(), "5");
    EXPECT_STREQ(t->GetString(9, "d").c_str(), "d");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaTableTest, PushValueAndSubTables)
{
    Run("t = {inner = {deep = 3}, n = 4, [1] = {7}}");
    auto t = Wrap("t");
    EXPECT_FALSE(t->PushValue("nothing"));
    EXPECT_EQ(lua_gettop(L), 0);
    ASSERT_TRUE(t->PushValue("n"));
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(lua_tonumber(L, -1), 4);
    lua_pop(L, 1);

    EXPECT_EQ(t->GetTable("n"), nullptr);
    EXPECT_EQ(t->GetTable("nothing"), nullptr);
    EXPECT_EQ(lua_gettop(L), 0);
    std::unique_ptr<TLuaTable> inner(t->GetTable("inner"));
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->GetNumber("deep", 0), 3);
    std::unique_ptr<TLuaTable> first(t->GetTable(1));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetNumber(1, 0), 7);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaTableTest, ColoursKeepDefaultComponents)
{
    Run("t = {three = {0.25, 0.5, 0.75}, full = {0, 0, 0, 0}, text = 'red', [1] = {1, nil, 0}}");
    auto t = Wrap("t");
    const TColor def(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(t->GetColor(str("three"), def), TColor(0.25f, 0.5f, 0.75f, 0.4f));
    EXPECT_EQ(t->GetColor(str("full"), def), TColor(0, 0, 0, 0));
    EXPECT_EQ(t->GetColor(str("text"), def), def);
    EXPECT_EQ(t->GetColor(str("missing"), def), def);
    EXPECT_EQ(t->GetColor(1, def), TColor(1, 0.2f, 0, 0.4f));
    EXPECT_EQ(lua_gettop(L), 0);
}

int ReadThroughFailingIndex(lua_State* L)
{
    auto* t = static_cast<TLuaTable*>(lua_touserdata(L, 1));
    const int before = lua_gettop(L);
    try {
        t->GetNumber("anything", 0);
    } catch (...) {
        lua_pushnumber(L, lua_gettop(L) - before);
        lua_setglobal(L, "heightAfter");
        throw;
    }
    return 0;
}

TEST_F(LuaTableTest, ReadsKeepTheStackWhenAMetamethodRaises)
{
    Run("t = setmetatable({}, {__index = function() error('no such field') end})");
    auto t = Wrap("t");
    EXPECT_NE(lua_cpcall(L, &ReadThroughFailingIndex, t.get()), 0);
    EXPECT_NE(std::string(lua_tostring(L, -1)).find("no such field"), std::string::npos);
    lua_pop(L, 1);
    lua_getglobal(L, "heightAfter");
    ASSERT_TRUE(lua_isnumber(L, -1));
    EXPECT_EQ(lua_tonumber(L, -1), 0);
    lua_pop(L, 1);
}

TEST_F(LuaTableTest, ReleasedValuesAreCollected)
{
    Run("probe = setmetatable({}, {__mode = 'v'})\n"
        "probe[1] = {}\n"
        "held = probe[1]\n");
    auto t = Wrap("held");
    Run("held = nil");
    EXPECT_TRUE(ProbeAlive());  // only the wrapper holds it now
    t.reset();
    EXPECT_FALSE(ProbeAlive());

    Run("probe[1] = function() end\nheld = probe[1]\n");
    lua_getglobal(L, "held");
    auto f = std::make_unique<TLuaFunction>(L);
    Run("held = nil");
    EXPECT_TRUE(ProbeAlive());
    f->Push();
    EXPECT_TRUE(lua_isfunction(L, -1));
    lua_pop(L, 1);
    f.reset();
    EXPECT_FALSE(ProbeAlive());
}

TEST_F(LuaTableTest, ANonTableReadsAsEmpty)
{
    lua_pushnumber(L, 5);
    TLuaTable t(L);
    EXPECT_FALSE(t.PushValue("x"));
    EXPECT_EQ(t.GetNumber("x", 9), 9);
    EXPECT_EQ(lua_gettop(L), 0);
}

}  // namespace
