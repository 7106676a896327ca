// Style lookups: the window's own table, then the default style and its "parent" chain.

#include "core/script/lua_function.h"
#include "core/script/lua_table.h"
#include "ui/style/window_style.h"
#include "ui/support/ui_test_support.h"

#include <memory>

namespace {

class WindowStyleTest : public LuaTest
{
protected:
    // The global `name` as a table wrapper.
    std::unique_ptr<TLuaTable> Table(const char* name)
    {
        lua_getglobal(L, name);
        return std::make_unique<TLuaTable>(L);
    }
};

TEST_F(WindowStyleTest, LooksInOwnTableThenDefaultStyleThenItsParents)
{
    Run("base = { font = 'serif', size = 9 }"
        "gCurrentDefaultStyle = { size = 12, parent = base }"
        "win = { name = 'ok', x = 12.9, hidden = false }");
    auto table = Table("win");
    TWindowStyle style(table.get());
    const int top = lua_gettop(L);

    EXPECT_EQ(style.GetString("name", "none"), str("ok"));
    EXPECT_EQ(style.GetInt("x", 0), 12);
    EXPECT_EQ(style.GetInt("size", 0), 12);
    EXPECT_EQ(style.GetString("font", ""), str("serif"));
    EXPECT_EQ(style.GetNumber("missing", 2.5), 2.5);
    // Found in the window's own table as false: the default style's value is not used.
    Run("gCurrentDefaultStyle.hidden = true");
    EXPECT_FALSE(style.GetBool("hidden", true));
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(WindowStyleTest, WindowsOwnParentIsNotFollowed)
{
    Run("other = { colour = 'red' } win = { parent = other }");
    auto table = Table("win");
    TWindowStyle style(table.get());
    EXPECT_EQ(style.GetString("colour", "none"), str("none"));
}

TEST_F(WindowStyleTest, BooleansFromNumbersTextsAndOtherValues)
{
    Run("win = { one = 1, zero = 0, yes = 'yes', t = {}, nan = 0/0 }");
    auto table = Table("win");
    TWindowStyle style(table.get());
    EXPECT_TRUE(style.GetBool("one", false));
    EXPECT_FALSE(style.GetBool("zero", true));
    EXPECT_TRUE(style.GetBool("nan", false));
    EXPECT_TRUE(style.GetBool("absent", true));
    TLogCapture log;
    EXPECT_FALSE(style.GetBool("yes", true));
    EXPECT_FALSE(style.GetBool("t", true));
    const std::string text = log.Text();
    EXPECT_NE(text.find("PopBool used on lua string yes"), std::string::npos) << text;
    EXPECT_NE(text.find("(type: 5)"), std::string::npos) << text;
}

TEST_F(WindowStyleTest, ColoursTablesAndFunctions)
{
    Run("win = { ink = { 0.5, 0.25, 1 }, data = { 7 }, act = function() return 3 end, text = 'x' }");
    auto table = Table("win");
    TWindowStyle style(table.get());
    const int top = lua_gettop(L);
    EXPECT_EQ(style.GetColor("ink", TColor(9, 9, 9, 9)), TColor(0.5f, 0.25f, 1, 0));
    EXPECT_EQ(style.GetColor("none", TColor(1, 2, 3, 4)), TColor(1, 2, 3, 4));

    std::unique_ptr<TLuaTable> data(style.GetTable("data"));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->GetNumber(1, 0), 7);
    EXPECT_EQ(style.GetTable("text"), nullptr);
    EXPECT_EQ(style.GetTable("none"), nullptr);

    std::unique_ptr<TLuaFunction> act(style.GetFunction("act"));
    ASSERT_TRUE(act);
    act->Push();
    lua_call(L, 0, 1);
    EXPECT_EQ(lua_tonumber(L, -1), 3);
    lua_pop(L, 1);
    EXPECT_EQ(style.GetFunction("text"), nullptr);
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(WindowStyleTest, StyleThatIsItsOwnParentEndsWithALogLine)
{
    Run("s = { a = 1 } s.parent = s gCurrentDefaultStyle = s win = {}");
    auto table = Table("win");
    TWindowStyle style(table.get());
    const int top = lua_gettop(L);
    EXPECT_EQ(style.GetInt("a", 0), 1);
    TLogCapture log;
    EXPECT_EQ(style.GetInt("missing", 42), 42);
    EXPECT_NE(log.Text().find("loops"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(WindowStyleTest, WithoutOwnTableTheDefaultStyleAnswers)
{
    Run("gCurrentDefaultStyle = { w = 40 }");
    TWindowStyle style(L, nullptr);
    EXPECT_EQ(style.GetInt("w", 0), 40);
    EXPECT_EQ(style.GetInt("h", 5), 5);
}

TEST(SafeStringTest, RejectsMultiByteLeadBytes)
{
    EXPECT_TRUE(SafeString(str()));
    EXPECT_TRUE(SafeString("plain text ~\x7f\xbf"));
    EXPECT_FALSE(SafeString("caf\xc3\xa9"));
}

}  // namespace
