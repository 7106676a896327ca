#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/log_capture.h"
#include "game/script/class_info.h"
#include "game/script/df_lua_obj.h"
#include "game/script/lua_error.h"
#include "ui/window/dialog.h"
#include "ui/window/window_manager.h"

namespace {

baseObj* gMade = nullptr;

class tTestBase : public baseObj
{
public:
    static tClassInfo civ;
    static baseObj* Factory()
    {
        gMade = new tTestBase;
        return gMade;
    }
    static void LuaAdd(dfLua& lua)
    {
        lua.setmethod(&tTestBase::Poke, "Poke");
        lua.setmethod(&tTestBase::Pokes, "Pokes");
    }
    tTestBase() { mClassInfo = &civ; }
    void Poke() { ++pokes; }
    int Pokes() const { return pokes; }
    int pokes = 0;
};
tClassInfo tTestBase::civ("tTestBase", &tTestBase::Factory, &tTestBase::LuaAdd, &baseObj::civ);

class tTestDerived : public tTestBase
{
public:
    static tClassInfo civ;
    static baseObj* Factory()
    {
        gMade = new tTestDerived;
        return gMade;
    }
    static void LuaAdd(dfLua& lua) { lua.setmethod(&tTestDerived::Scale, "Scale"); }
    tTestDerived() { mClassInfo = &civ; }
    int Scale(int by) { return pokes * by; }
};
tClassInfo tTestDerived::civ("tTestDerived", &tTestDerived::Factory, &tTestDerived::LuaAdd, &tTestBase::civ);

// Counts its living instances.
class tCounted : public tTestBase
{
public:
    static tClassInfo civ;
    static int live;
    static baseObj* Factory() { return new tCounted; }
    tCounted() { mClassInfo = &civ, ++live; }
    ~tCounted() override { --live; }
};
tClassInfo tCounted::civ("tCounted", &tCounted::Factory, nullptr, &tTestBase::civ);
int tCounted::live = 0;

// A class scripts may see but not make.
tClassInfo gNoFactory("tTestFixed", nullptr, nullptr, &baseObj::civ);

class Classes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gMade = nullptr;
        lua.open();
        lua.openlibs();
        L = lua.GetState();
        tClassInfo::AddAllClassInfoToLua(lua);
        ASSERT_EQ(lua_gettop(L), 0);
    }
    void TearDown() override { SetLuaErrorReport(nullptr); }
    void Run(const char* code)
    {
        ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "classtest"), 0);
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    }
    double Number(const char* name)
    {
        lua_getglobal(L, name);
        const double v = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return v;
    }
    dfLua lua;
    lua_State* L = nullptr;
};

}  // namespace

TEST(ClassRegistry, LookupByExactName)
{
    EXPECT_EQ(tClassInfo::GetClassInfoByName("tTestDerived"), &tTestDerived::civ);
    EXPECT_EQ(tClassInfo::GetClassInfoByName("baseObj"), &baseObj::civ);
    EXPECT_EQ(tClassInfo::GetClassInfoByName("ttestderived"), nullptr);
    EXPECT_EQ(tClassInfo::GetClassInfoByName(""), nullptr);
    EXPECT_EQ(tClassInfo::GetClassInfoByName(nullptr), nullptr);
}

TEST_F(Classes, FactoryMakesObjectsWithInheritedMethods)
{
    Run("d = Factory('tTestDerived') d:Poke() d:Poke() n = d:Pokes() s = d:Scale(10)\n"
        "b = Factory('tTestBase') hasScale = b.Scale ~= nil");
    // "b" is made after "d": gMade is the base object now; d is still alive in the script.
    EXPECT_EQ(Number("n"), 2);
    EXPECT_EQ(Number("s"), 20);
    lua_getglobal(L, "hasScale");
    EXPECT_FALSE(lua_toboolean(L, -1));
    lua_pop(L, 1);
    lua_getglobal(L, "d");
    lua_getfield(L, -1, "this");
    auto* derived = static_cast<tTestDerived*>(lua_touserdata(L, -1));
    lua_pop(L, 2);
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->GetClassInfo(), &tTestDerived::civ);
    EXPECT_EQ(derived->pokes, 2);
}

// What scripts make lives while a script reaches its table, and goes with the state at the
// latest.
TEST_F(Classes, FactoryObjectsLiveAsLongAsTheirTables)
{
    Run("keep = Factory('tCounted') keep:Poke()\n"
        "for i = 1, 20000 do local o = Factory('tCounted') o:Poke() end\n"
        "collectgarbage()\n"
        "keep:Poke() n = keep:Pokes()");
    EXPECT_EQ(tCounted::live, 1);
    EXPECT_EQ(Number("n"), 2);
    Run("keep = nil collectgarbage()");
    EXPECT_EQ(tCounted::live, 0);
    // Made in a coroutine that is gone before the object.
    Run("local co = coroutine.create(function() kept = Factory('tCounted') end)\n"
        "coroutine.resume(co) co = nil collectgarbage() kept:Poke()");
    EXPECT_EQ(tCounted::live, 1);
    lua.close();
    EXPECT_EQ(tCounted::live, 0);
}

TEST_F(Classes, UnknownOrMissingNamesGiveNothing)
{
    TLogCapture log;
    Run("a = Factory('tNoSuchClass') b = Factory(12) c = Factory('tTestFixed')");
    const std::string text = log.Text();
    EXPECT_NE(text.find("lf_Factory called with bad string[tNoSuchClass]"), std::string::npos) << text;
    EXPECT_NE(text.find("lf_Factory called without string"), std::string::npos) << text;
    EXPECT_NE(text.find("stackdump(lf_Factory)"), std::string::npos) << text;
    for (const char* name : {"a", "b", "c"}) {
        lua_getglobal(L, name);
        EXPECT_TRUE(lua_isnil(L, -1)) << name;
        lua_pop(L, 1);
    }
    EXPECT_EQ(gMade, nullptr);
}

TEST_F(Classes, ACallAfterDumpLuaObjReachesTheErrorDialog)
{
    TWindowManager manager;
    InstallGlobalLuaError();
    Run("o = Factory('tTestBase')");
    ASSERT_NE(gMade, nullptr);
    ASSERT_NE(gMade->GetLuaObj(), nullptr);
    gMade->DumpLuaObj();
    EXPECT_EQ(gMade->GetLuaObj(), nullptr);
    TLogCapture log;
    Run("\n\no:Poke()");
    EXPECT_EQ(static_cast<tTestBase*>(gMade)->pokes, 0);
    auto* dialog = dynamic_cast<TDialog*>(manager.GetTopModalWindow());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetScriptName(), str("scripts/ok.lua"));
    EXPECT_STREQ(dialog->GetTitle().c_str(), "#Missing base object in Lua function call");
    EXPECT_STREQ(dialog->GetBody().c_str(), "#Called Function Poke\nFile classtest\nLine 3");
    EXPECT_NE(log.Text().find("GLOBAL LUA ERROR:Missing base object in Lua function call:Called Function Poke"),
              std::string::npos);
}

TEST_F(Classes, ObjectTableIsReleasedWithTheObject)
{
    auto* object = new tTestBase;
    object->CreateLuaObj(lua);
    object->GetLuaObj()->push();
    lua_setglobal(L, "kept");
    {
        TLogCapture log;
        object->CreateLuaObj(lua);  // a second table replaces the first, with an assertion
        // and the first no longer leads to the object
        EXPECT_NE(log.Text().find("ASSERT: GetLuaObj() == NULL"), std::string::npos);
    }
    object->GetLuaObj()->push();
    lua_setglobal(L, "current");
    delete object;
    Run("assert(current.this == nil) assert(kept.this == nil)");
}
