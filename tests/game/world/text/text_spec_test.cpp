#include "game/world/text/text_spec.h"

#include "common/log_capture.h"

#include <lauxlib.h>
#include <lua.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Every field, so one string says what a case expects.
std::string Describe(const tTextSpec& s)
{
    auto c = [](const TColor& k) { return str::getFormatted("%g,%g,%g,%g", k.red, k.green, k.blue, k.alpha); };
    return str::getFormatted("box %d,%d,%d,%d flags %d font '%s' lh %d color %s fixed %d outline %s/%d clamp %d "
                             "anchor %d halign %d angle %g",
                             s.box.left, s.box.top, s.box.right, s.box.bottom, s.flags, s.font.c_str(), s.lineHeight,
                             c(s.color).c_str(), s.fixed, c(s.outlineColor).c_str(), s.outlineSize, s.clamp, s.anchor,
                             s.halign, s.angle)
        .c_str();
}

class TextSpecTest : public ::testing::Test
{
protected:
    void SetUp() override { L = lua_open(); }
    void TearDown() override { lua_close(L); }
    // Leaves the value of `expr` on the stack.
    void Push(const char* expr)
    {
        const std::string chunk = std::string("return ") + expr;
        ASSERT_EQ(luaL_loadbuffer(L, chunk.data(), chunk.size(), "spec"), 0);
        ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    }
    lua_State* L = nullptr;
};

TEST_F(TextSpecTest, ReadsTablesKeyByKey)
{
    struct
    {
        const char* table;
        const char* spec;
    } cases[] = {
        {"{x=10, y=20, w=5, h=6, flags=3, font='fonts/a.mvec', lineheight=18, fixed=2, anchor=2, halign=3, "
         "angle=0.5, outline_color={r=0.5, g=0, b=1, a=1}, outline_size=3, color={r=1, g=0, b=0, a=0.5}, clamp=4}",
         "box 10,20,15,26 flags 3 font 'fonts/a.mvec' lh 18 color 1,0,0,0.5 fixed 1 outline 0.5,0,1,1/3 clamp 4 "
         "anchor 2 halign 3 angle 0.5"},
        // Absent keys read as 0, except clamp; colours keep their wiped value unless a table.
        {"{}", "box 0,0,0,0 flags 0 font '' lh 0 color 0,0,0,0 fixed 0 outline 0,0,0,0/0 clamp 1 anchor 0 halign 0 "
               "angle 0"},
        // A colour's missing channels read as 0, but a missing alpha keeps the text visible.
        {"{clamp=0, color=7, outline_color={g=0.5}}",
         "box 0,0,0,0 flags 0 font '' lh 0 color 0,0,0,0 fixed 0 outline 0,0.5,0,1/0 clamp 0 anchor 0 halign 0 angle 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        Push(c.table);
        dfLua lua(L);
        EXPECT_EQ(Describe(Get(TypeWrapper<tTextSpec>(), lua, -1)), c.spec);
        lua_pop(L, 1);
        EXPECT_EQ(lua_gettop(L), 0);
    }
}

TEST_F(TextSpecTest, NonTableGivesAWipedSpecAndALogLine)
{
    TLogCapture log;
    Push("'big'");
    dfLua lua(L);
    tTextSpec wiped;
    wiped.Wipe();
    EXPECT_EQ(Describe(Get(TypeWrapper<tTextSpec>(), lua, 1)), Describe(wiped));
    EXPECT_NE(log.Text().find("LUA_GET(TRect) didn't get a table"), std::string::npos);
}

TEST_F(TextSpecTest, ModifyChangesOnlyThePresentKeys)
{
    const std::string rest = " flags 5 font 'fonts/arial.mvec' lh 20 color 1,1,1,1 fixed 0 outline 0,0,0,1/2 clamp 1 "
                             "anchor 1 halign 1 angle 0";
    struct
    {
        const char* table;
        std::string spec;
    } cases[] = {
        {"{w=100}", "box 0,0,100,600" + rest},
        {"{x=10, y=20}", "box 10,20,810,620" + rest},
        {"{y=5, h=50}", "box 0,5,800,55" + rest},
        {"{font='f.mvec', outline_size=0, halign=2, color={r=1}}",
         "box 0,0,800,600 flags 5 font 'f.mvec' lh 20 color 1,0,0,1 fixed 0 outline 0,0,0,1/0 clamp 1 anchor 1 "
         "halign 2 angle 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        Push(c.table);
        dfLua lua(L);
        tTextSpec spec = DefaultSaySpec();
        ModifyTextSpec(spec, lua, -1);
        EXPECT_EQ(Describe(spec), c.spec);
        lua_pop(L, 1);
    }
}

TEST_F(TextSpecTest, OutlineMarkupComesOnlyWithAnOutline)
{
    const TColor orange(1, 0.5f, 0, 1);
    tTextSpec spec = DefaultSaySpec();
    EXPECT_EQ(std::string(spec.OutlineDesc().c_str()), "<outline color=\"000000\" size=\"2\"\\>");
    EXPECT_EQ(std::string(spec.OutlineDesc(&orange).c_str()), "<outline color=\"ff7f00\" size=\"2\"\\>");
    spec.outlineSize = 0;
    EXPECT_EQ(std::string(spec.OutlineDesc(&orange).c_str()), "");
}

}  // namespace
