#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <climits>
#include <string>

#include "common/log_capture.h"
#include "core/script/df_lua.h"
#include "core/script/lua_direct_closure.h"
#include "core/script/lua_number.h"

// A stand-in for a game value type with a converter of its own.
struct FakeSpec
{
    int size = 0;
    std::string font;
};

FakeSpec Get(TypeWrapper<FakeSpec>, dfLua& lua, int index)
{
    FakeSpec spec;
    lua_State* L = lua.GetState();
    if (lua_istable(L, index)) {
        lua_pushstring(L, "size");
        lua_gettable(L, index);
        spec.size = lua.tointeger(-1);
        lua_pop(L, 1);
        lua_pushstring(L, "font");
        lua_gettable(L, index);
        spec.font = Get(TypeWrapper<const char*>(), lua, -1);
        lua_pop(L, 1);
    }
    return spec;
}

namespace {

struct Walker
{
    virtual ~Walker() = default;
    virtual void Step() { log += "walk;"; }
    void SetSpeed(float v) { speed = v; }
    void SetCount(int v) { count = v; }
    void SetFlag(bool v) { flag = v; }
    void SetName(const char* v) { name = v; }
    void SetLabel(str v) { label = v.c_str(); }
    void SetTint(TColor v) { tint = v; }
    void SetSpec(FakeSpec v) { spec = v; }
    void Touch(dfLua& lua) { touched = lua.GetState(); }
    int Raw(lua_State* L)
    {
        lua_pushnumber(L, lua_gettop(L));
        return 1;
    }
    int Pair(dfLua& lua)
    {
        Put(lua, str("a"));
        Put(lua, true);
        return 2;
    }
    int Count() const { return count; }
    int Add(int a, int b) { return a + b + count; }
    void Place(int x, float y) { placed = std::to_string(x) + "," + std::to_string(y); }
    void Move(str who, int x, bool run)
    {
        placed = std::string(who.c_str()) + ":" + std::to_string(x) + (run ? "!" : ".");
    }
    void Frame(int a, int b, int c, TRect r) { placed = std::to_string(a + b + c) + "/" + std::to_string(r.right); }
    str Name() { return str(name.c_str()); }
    float Scaled(float by) const { return speed * by; }
    std::string placed;

    std::string log;
    float speed = 0;
    int count = -1;
    bool flag = false;
    std::string name = "unset";
    std::string label;
    TColor tint;
    FakeSpec spec;
    lua_State* touched = nullptr;
};

struct Runner : Walker
{
    void Step() override { log += "run;"; }
};

std::string gCalls;
void Say(str text)
{
    gCalls += std::string("say:") + text.c_str() + ";";
}
void Toggle(bool on)
{
    gCalls += on ? "on;" : "off;";
}
void Pair(const char* a, str b)
{
    gCalls += std::string(a) + "+" + b.c_str() + ";";
}
bool Ready()
{
    return true;
}
str Echo(str text)
{
    return str("echo ") + text;
}

std::string gReportWhere, gReportMessage;
void CaptureReport(dfLua&, const char* where, const str& message)
{
    gReportWhere = where;
    gReportMessage = message.c_str();
}

class Dispatch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gCalls.clear();
        gReportWhere.clear();
        gReportMessage.clear();
        L = lua_open();
        luaopen_base(L);
        lua_settop(L, 0);
        Run("function count(...) return arg.n end");
    }
    void TearDown() override
    {
        SetLuaErrorReport(nullptr);
        lua_close(L);
    }
    void Run(const char* code)
    {
        ASSERT_EQ(luaL_loadbuffer(L, code, strlen(code), "test"), 0) << lua_tostring(L, -1);
        ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    }
    double Number(const char* name)
    {
        lua_getglobal(L, name);
        double v = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return v;
    }
    std::string Text(const char* name)
    {
        lua_getglobal(L, name);
        const char* t = lua_tostring(L, -1);
        std::string v = t ? t : "<nil>";
        lua_pop(L, 1);
        return v;
    }
    // The global `name` becomes an object table for `object` with every method bound.
    void Publish(Walker* object, const char* name)
    {
        dfLua lua(L);
        lua_newtable(L);
        lua_pushstring(L, "this");
        lua_pushlightuserdata(L, object);
        lua_settable(L, -3);
        lua.setmethod(&Walker::Step, "Step");
        lua.setmethod(&Walker::SetSpeed, "SetSpeed");
        lua.setmethod(&Walker::SetCount, "SetCount");
        lua.setmethod(&Walker::SetFlag, "SetFlag");
        lua.setmethod(&Walker::SetName, "SetName");
        lua.setmethod(&Walker::SetLabel, "SetLabel");
        lua.setmethod(&Walker::SetTint, "SetTint");
        lua.setmethod(&Walker::SetSpec, "SetSpec");
        lua.setmethod(&Walker::Touch, "Touch");
        lua.setmethod(&Walker::Raw, "Raw");
        lua.setmethod(&Walker::Pair, "Pair");
        lua.setmethod(&Walker::Place, "Place");
        lua.setmethod(&Walker::Move, "Move");
        lua.setmethod(&Walker::Frame, "Frame");
        lua.setmethod(&Walker::Count, "Count");
        lua.setmethod(&Walker::Name, "Name");
        lua.setmethod(&Walker::Scaled, "Scaled");
        lua_setglobal(L, name);
        EXPECT_EQ(lua_gettop(L), 0);
    }
    lua_State* L = nullptr;
};

TEST_F(Dispatch, MethodsReceiveConvertedArguments)
{
    Walker w;
    Publish(&w, "w");
    Run("w:Step()\n"
        "w:SetSpeed('1.5')\n"
        "w:SetCount(-2.9)\n"
        "w:SetFlag(0)\n"
        "w:SetName(42)\n"
        "w:SetLabel('label')\n"
        "w:SetTint({r = 0.5, a = 0.25})\n"
        "w:SetSpec({size = 14, font = 'serif'})\n"
        "w:Touch()\n");
    EXPECT_EQ(w.log, "walk;");
    EXPECT_FLOAT_EQ(w.speed, 1.5f);
    EXPECT_EQ(w.count, -2);
    EXPECT_TRUE(w.flag);  // 0 is true in Lua
    EXPECT_EQ(w.name, "42");
    EXPECT_EQ(w.label, "label");
    EXPECT_EQ(w.tint, TColor(0.5f, 1, 1, 0.25f));
    EXPECT_EQ(w.spec.size, 14);
    EXPECT_EQ(w.spec.font, "serif");
    EXPECT_EQ(w.touched, L);
}

TEST_F(Dispatch, WrongArgumentsConvertByLuaRules)
{
    Walker w;
    Publish(&w, "w");
    Run("w:SetName()\n"
        "w:SetSpeed('fast')\n"
        "w:SetCount(true)\n"
        "w:SetFlag(nil)\n"
        "w:SetTint('red')\n"
        "w:SetSpec(3)\n"
        "w:SetLabel({})\n");
    EXPECT_EQ(w.name, "");  // never a null text
    EXPECT_EQ(w.speed, 0);
    EXPECT_EQ(w.count, 1);
    EXPECT_FALSE(w.flag);
    EXPECT_EQ(w.tint, TColor(1, 1, 1, 1));
    EXPECT_EQ(w.spec.size, 0);
    EXPECT_EQ(w.label, "");
}

TEST_F(Dispatch, MultiArgumentAndResultShapes)
{
    Walker w;
    w.count = 4;
    w.speed = 2;
    Publish(&w, "w");
    struct Case
    {
        const char* call;
        std::string placed;
    };
    const Case calls[] = {
        {"w:Place(3.9, '0.5')", "3,0.500000"},         {"w:Move('ann', -7.5, 1)", "ann:-7!"},  {"w:Move()", ":0."},
        {"w:Frame(1, 2, 3, {x = 10, w = 5})", "6/15"}, {"w:Frame(1, 2, 3, 'no rect')", "6/0"},
    };
    for (const Case& c : calls) {
        Run(c.call);
        EXPECT_EQ(w.placed, c.placed) << c.call;
    }
    w.name = "walker";
    Run("c = w:Count() n = w:Name() f = w:Scaled(1.5) k = count(w:Count())");
    EXPECT_EQ(Number("c"), 4);
    EXPECT_EQ(Text("n"), "walker");
    EXPECT_EQ(Number("f"), 3);
    EXPECT_EQ(Number("k"), 1);
}

TEST_F(Dispatch, NewShapesWithoutAnObjectReturnNothing)
{
    Walker w;
    Publish(&w, "w");
    SetLuaErrorReport(&CaptureReport);
    TLogCapture log;
    Run("a = count(w.Place(1, 2)) b = count(w.Move()) c = count(w.Frame()) d = count(w.Count()) e = "
        "count(w.Scaled(2))");
    const std::string text = log.Text();
    for (const char* n : {"a", "b", "c", "d", "e"})
        EXPECT_EQ(Number(n), 0) << n;
    EXPECT_EQ(w.placed, "");
    EXPECT_EQ(gReportMessage, "Called Function Scaled");
    for (const char* d : {"dispatch_method_P1P2 ", "dispatch_method_P1P2P3 ", "dispatch_method_P1P2P3P4 ",
                          "dispatch_method_R1 ", "dispatch_method_R1P1 "})
        EXPECT_NE(text.find(std::string("Called ") + d + "without a 'this' object"), std::string::npos) << d;
}

TEST_F(Dispatch, RawShapesReturnTheirOwnCounts)
{
    Walker w;
    Publish(&w, "w");
    Run("n = count(w:Raw(1, 2))\n"
        "top = w:Raw(1, 2)\n"
        "a, b = w:Pair()\n");
    EXPECT_EQ(Number("n"), 1);
    EXPECT_EQ(Number("top"), 3);  // the object and two arguments
    EXPECT_EQ(Text("a"), "a");
    lua_getglobal(L, "b");
    EXPECT_TRUE(lua_isboolean(L, -1) && lua_toboolean(L, -1));
    lua_pop(L, 1);
}

TEST_F(Dispatch, VirtualOverrideRunsOnADerivedObject)
{
    Runner r;
    Publish(&r, "r");
    Run("r:Step() r:Step()");
    EXPECT_EQ(r.log, "run;run;");
}

TEST_F(Dispatch, MissingObjectIsReportedAndCallsNothing)
{
    Walker w;
    Publish(&w, "w");
    SetLuaErrorReport(&CaptureReport);
    ::testing::internal::CaptureStderr();
    Run("n1 = count(w.Step())\n"
        "n2 = count(w.SetCount(5))\n"
        "n3 = count(w.Raw({}))\n"
        "n4 = count(w.Pair(w))\n");
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Number("n1"), 0);
    EXPECT_EQ(Number("n2"), 0);
    EXPECT_EQ(Number("n3"), 0);
    EXPECT_EQ(Number("n4"), 2);  // w.Pair(w) is a colon call written out
    EXPECT_EQ(w.log, "");
    EXPECT_EQ(w.count, -1);
    EXPECT_EQ(gReportWhere, "Missing base object in Lua function call");
    EXPECT_EQ(gReportMessage, "Called Function Raw");
    EXPECT_NE(log.find("Called dispatch_method_np without a 'this' object"), std::string::npos) << log;
    EXPECT_NE(log.find("Called dispatch_method_1p without a 'this' object"), std::string::npos) << log;
    EXPECT_NE(log.find("Called dispatch_method_LS without a 'this' object"), std::string::npos) << log;
    EXPECT_NE(log.find("::stackdump(no this) STACK = 1"), std::string::npos) << log;
    EXPECT_NE(log.find("\t#1 = table : "), std::string::npos) << log;
}

TEST_F(Dispatch, ObjectReachedThroughIndexIsFound)
{
    Walker w;
    Publish(&w, "w");
    Run("local proxy = setmetatable({}, {__index = w}) proxy:SetCount(7)");
    EXPECT_EQ(w.count, 7);
}

TEST_F(Dispatch, DefaultReportGoesToTheLog)
{
    Walker w;
    Publish(&w, "w");
    ::testing::internal::CaptureStderr();
    Run("w.Touch()");
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("GLOBAL LUA ERROR:Missing base object in Lua function call:Called Function Touch"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Called dispatch_method_1p without"), std::string::npos) << log;
    EXPECT_EQ(w.touched, nullptr);
}

TEST_F(Dispatch, FreeFunctions)
{
    dfLua lua(L);
    lua.bindfunction(&Say, "Say");
    lua.bindfunction(&Toggle, "Toggle");
    lua.bindfunction(&Pair, "Pair");
    lua.bindfunction(&Ready, "Ready");
    lua.bindfunction(&Echo, "Echo");
    Run("Say('hi') Say(3) Toggle(0) Toggle(false) Pair(nil, 'b')\n"
        "ready = Ready()\n"
        "n = count(Echo('x'))\n"
        "e = Echo('x')\n"
        "e2 = Echo()\n");
    EXPECT_EQ(gCalls, "say:hi;say:3;on;off;+b;");
    lua_getglobal(L, "ready");
    EXPECT_TRUE(lua_isboolean(L, -1) && lua_toboolean(L, -1));
    lua_pop(L, 1);
    EXPECT_EQ(Number("n"), 1);
    EXPECT_EQ(Text("e"), "echo x");
    EXPECT_EQ(Text("e2"), "echo ");
}

TEST_F(Dispatch, ExtraUpvaluesFollowTheNameAndCallable)
{
    dfLua lua(L);
    lua_pushstring(L, "extra");
    lua.pushmethod(&Walker::Step, 1, "Step");
    ASSERT_EQ(lua_gettop(L), 1);
    EXPECT_STREQ(lua_getupvalue(L, 1, 2), "");
    EXPECT_STREQ(lua_tostring(L, -1), "Step");
    lua_pop(L, 1);
    EXPECT_STREQ(lua_getupvalue(L, 1, 3), "");
    EXPECT_STREQ(lua_tostring(L, -1), "extra");
    lua_pop(L, 2);
}

TEST(DfLua, ToIntegerTruncatesAndSaturates)
{
    lua_State* L = lua_open();
    dfLua lua(L);
    lua_pushboolean(L, 1);
    lua_pushnumber(L, 2.9);
    lua_pushnumber(L, -2.9);
    lua_pushstring(L, "abc");
    lua_pushnumber(L, 0.0 / 0.0);
    lua_pushnumber(L, 1e300);
    lua_pushnumber(L, -1e300);
    lua_pushstring(L, " 12 ");
    EXPECT_EQ(lua.tointeger(1), 1);
    EXPECT_EQ(lua.tointeger(2), 2);
    EXPECT_EQ(lua.tointeger(3), -2);
    EXPECT_EQ(lua.tointeger(4), 0);
    EXPECT_EQ(lua.tointeger(5), 0);
    EXPECT_EQ(lua.tointeger(6), INT_MAX);
    EXPECT_EQ(lua.tointeger(7), INT_MIN);
    EXPECT_EQ(lua.tointeger(8), 12);
    EXPECT_EQ(lua.tointeger(9), 0);  // above the top
    EXPECT_FALSE(lua.IsOwned());
    lua_close(L);
}

TEST(LuaNumber, UnsignedAndLongReadsSaturate)
{
    const double nan = 0.0 / 0.0;
    struct
    {
        double value;
        uint32_t asUnsigned;
        long asLong;
    } cases[] = {
        {2.9, 2u, 2},
        {-2.9, 0u, -2},
        {nan, 0u, 0},
        {5e9, UINT32_MAX, 5000000000L},
        {1e300, UINT32_MAX, LONG_MAX},
        {-1e300, 0u, LONG_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberToUnsigned(c.value), c.asUnsigned) << c.value;
        EXPECT_EQ(NumberToLong(c.value), c.asLong) << c.value;
    }
}

TEST(DfLua, ColourConverter)
{
    lua_State* L = lua_open();
    dfLua lua(L);
    lua_newtable(L);
    lua_pushstring(L, "g");
    lua_pushnumber(L, 0.5);
    lua_settable(L, -3);
    lua_pushstring(L, "b");
    lua_pushstring(L, "0.3");  // text is not a number here
    lua_settable(L, -3);
    EXPECT_EQ(Get(TypeWrapper<TColor>(), lua, -1), TColor(1, 0.5f, 1, 1));
    lua_pushnumber(L, 4);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Get(TypeWrapper<TColor>(), lua, -1), TColor(1, 1, 1, 1));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("LUA_GET(TColor) didn't get a table"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), 2);
    lua_close(L);
}

TEST(DfLua, RectConverter)
{
    lua_State* L = lua_open();
    dfLua lua(L);
    lua_newtable(L);
    const std::pair<const char*, double> fields[] = {{"x", 10}, {"y", -5}, {"w", 30.9}, {"h", 20}};
    for (const auto& [key, value] : fields) {
        lua_pushstring(L, key);
        lua_pushnumber(L, value);
        lua_settable(L, -3);
    }
    // Widths are truncated like every integer argument.
    EXPECT_EQ(Get(TypeWrapper<TRect>(), lua, -1), TRect(10, -5, 40, 15));
    EXPECT_EQ(Get(TypeWrapper<TRect>(), lua, 1), TRect(10, -5, 40, 15));
    lua_newtable(L);
    EXPECT_EQ(Get(TypeWrapper<TRect>(), lua, -1), TRect(0, 0, 0, 0));
    lua_pushstring(L, "not a rectangle");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Get(TypeWrapper<TRect>(), lua, -1), TRect(0, 0, 0, 0));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("LUA_GET(TRect) didn't get a table"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), 3);
    lua_close(L);
}

class DirectClosure : public Dispatch
{
};

int Twice(int v)
{
    return 2 * v;
}
void Remember(str a, float b)
{
    gCalls = std::string(a.c_str()) + ":" + std::to_string(int(b * 10));
}

TEST_F(DirectClosure, MethodsAndFunctionsWithArgumentsFromOne)
{
    Walker w;
    w.count = 4;
    lua_pushdirectclosure(L, &w, &Walker::Add);
    lua_setglobal(L, "Add");
    lua_pushdirectclosure(L, &w, &Walker::SetCount);
    lua_setglobal(L, "SetCount");
    lua_pushdirectclosure(L, &w, &Walker::Count);
    lua_setglobal(L, "Count");
    lua_pushdirectclosure(L, &Twice);
    lua_setglobal(L, "Twice");
    lua_pushdirectclosure(L, &Remember);
    lua_setglobal(L, "Remember");
    Run("sum = Add(1, 2)\n"
        "n = count(SetCount(9))\n"
        "twice = Twice('21')\n"
        "Remember('k', 1.5)\n"
        "c = Count()\n");
    EXPECT_EQ(Number("sum"), 7);
    EXPECT_EQ(Number("n"), 0);
    EXPECT_EQ(w.count, 9);
    EXPECT_EQ(Number("twice"), 42);
    EXPECT_EQ(gCalls, "k:15");
    EXPECT_EQ(Number("c"), 9);
}

}  // namespace
