#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <string>

#include "game/script/script_enums.h"

namespace {

class Enums : public ::testing::Test
{
protected:
    void SetUp() override { lua.open(); }
    double Field(const char* table, const char* key)
    {
        lua_State* L = lua.GetState();
        lua_getglobal(L, table);
        EXPECT_TRUE(lua_istable(L, -1)) << table;
        lua_getfield(L, -1, key);
        EXPECT_EQ(lua_type(L, -1), LUA_TNUMBER) << table << "." << key;
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 2);
        return value;
    }
    dfLua lua;
};

}  // namespace

TEST_F(Enums, PublishedValues)
{
    AddEnumsToLua(lua);
    EXPECT_EQ(lua_gettop(lua.GetState()), 0);
    struct Case
    {
        const char* table;
        const char* key;
        double value;
    };
    const Case cases[] = {
        {"BAG", "BAG_NONE", -1},
        {"BAG", "BAG_MAGIC", 1},
        {"BOOK", "BOOK_EDU", 2},
        {"BOOK", "BOOK_NONE", -1},
        {"DEPTH", "DEPTH_OVER_HUD", -6},
        {"DEPTH", "DEPTH_BY_POLY", -5},
        {"DEPTH", "DEPTH_FIXED", -4},
        {"RESUME", "ON_BGABORT", 20},
        {"RESUME", "NOW", 3},
        {"AFLAG", "AFLAG_NON_SPEECH", 8192},
        {"AFLAG", "AFLAG_OBJECT_COLLIDE_DETECT", 1},
        {"HALIGN", "CENTER", 1},
        {"ANCHOR", "CENTER", 1},
        {"ANCHOR", "BOTTOM", 2},
        {"DIR", "NONE", 0},
        {"DIR", "NE", 2},
        {"DIR", "NW", 8},
        {"MODE", "NONE", 0},
        {"MODE", "STATIC", 3},
        {"DFKEY", "NONE", 0},
        {"DFKEY", "ESCAPE", 1},
        {"RESUME", "NONE", 0},
        {"MOTION", "SPECIAL", 2},
        {"RESPONSE", "INV_UNHANDLED", 3},
        {"CLAMP", "CLAMP_SCREEN", 1},
        {"BLENDMODE", "BLENDMODE_MULTIPLY", 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Field(c.table, c.key), c.value) << c.table << "." << c.key;

    lua_getglobal(lua.GetState(), "STARTMODE");
    EXPECT_TRUE(lua_isnil(lua.GetState(), -1));
    lua_pop(lua.GetState(), 1);
    AddSTARTMODEToLua(lua);
    EXPECT_EQ(Field("STARTMODE", "NONE"), 0);
    EXPECT_EQ(Field("STARTMODE", "RESUME"), 3);
}

TEST_F(Enums, PublishingAgainGivesAFreshTable)
{
    AddDIRToLua(lua);
    lua_State* L = lua.GetState();
    luaL_loadbuffer(L, "DIR.NE = 99; DIR.EXTRA = 1", 26, "t");
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0);
    AddDIRToLua(lua);
    EXPECT_EQ(Field("DIR", "NE"), 2);
    lua_getglobal(L, "DIR");
    lua_getfield(L, -1, "EXTRA");
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 2);
}

TEST(EnumNames, BackFromValues)
{
    EXPECT_STREQ(DIR_NAME(DIR_NW), "NW");
    EXPECT_STREQ(DIR_NAME(DIR_NONE), "NONE");
    EXPECT_STREQ(DIR_NAME(static_cast<DIR>(9)), "BADDIR");
    EXPECT_STREQ(DIR_NAME(static_cast<DIR>(-1)), "BADDIR");
    EXPECT_STREQ(BAG_NAME(BAG_NONE), "BAG_NONE");
    EXPECT_STREQ(BAG_NAME(BAG_INV), "BAG_INV");
    EXPECT_EQ(BAG_NAME(static_cast<BAG>(2)), nullptr);
    EXPECT_STREQ(BOOK_NAME(BOOK_EDU), "BOOK_EDU");
    EXPECT_EQ(BOOK_NAME(static_cast<BOOK>(3)), nullptr);
}

TEST(EnumConversions, ReadAsIntegersUnchecked)
{
    dfLua lua;
    lua.open();
    lua_State* L = lua.GetState();
    lua_pushnumber(L, 2.7);
    lua_pushstring(L, "S");
    lua_pushnumber(L, 77);
    lua_pushnumber(L, -5);
    EXPECT_EQ(Get(TypeWrapper<DIR>(), lua, 1), DIR_NE);
    EXPECT_EQ(Get(TypeWrapper<DIR>(), lua, 2), DIR_NONE);
    EXPECT_EQ(static_cast<int>(Get(TypeWrapper<MODE>(), lua, 3)), 77);
    EXPECT_EQ(Get(TypeWrapper<DEPTH>(), lua, 4), DEPTH_BY_POLY);
    Put(lua, MODE_STATIC);
    EXPECT_EQ(lua_type(L, -1), LUA_TNUMBER);
    EXPECT_EQ(lua_tonumber(L, -1), 3);
}
