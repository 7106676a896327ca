#include "game/world/strings/localised_strings.h"
#include "game/world/strings/scene_strings.h"
#include "game/world/strings/scene_strings_lua.h"

#include "../lua_run.h"

#include <gtest/gtest.h>

#include <lua.h>
#include <lualib.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// The scene's table as the translators' spreadsheet export holds it; "\n" pairs are literal.
const char* const kSheet = R"(<?xml version="1.0"?>
<Workbook><Worksheet ss:Name="Strings"><Table>
<Row><Cell><Data>two_lines</Data></Cell><Cell><Data>Line one\nLine two</Data></Cell></Row>
<Row><Cell><Data>empty</Data></Cell></Row>
<Row><Cell><Data>hash</Data></Cell><Cell><Data>#note</Data></Cell></Row>
<Row><Cell><Data>hello</Data></Cell><Cell><Data>Gardener: Nice day.\nIsn't it?</Data></Cell></Row>
<Row><Cell><Data>colon_first</Data></Cell><Cell><Data>:Just a line</Data></Cell></Row>
<Row><Cell><Data>no_speaker</Data></Cell><Cell><Data>Just a line</Data></Cell></Row>
<Row><Cell><Data>coins</Data></Cell><Cell><Data>You have %1% coins\nand %2%.</Data></Cell></Row>
<Row><Cell><Data>five</Data></Cell><Cell><Data>%1%%2%%3%%4%%5%</Data></Cell></Row>
<Row><Cell><Data>code</Data></Cell><Cell><Data>os.exit() --[[</Data></Cell></Row>
</Table></Worksheet></Workbook>
)";

class SceneStrings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string sheet = kSheet;
        strings.Table().SetQuiet(true);
        ASSERT_TRUE(strings.Table().MergeStringData(sheet.data(), sheet.size()));
    }
    tSceneStrings strings;
};

TEST(FixCrs, BackslashNPairsBecomeLineBreaks)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain text", "plain text"}, {"one\\ntwo", "one\ntwo"},  {"\\n\\n", "\n\n"},
        {"ends in \\", "ends in \\"}, {"\\x and n", "\\x and n"}, {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(fix_crs(str(in.c_str())).c_str(), out) << in;
}

TEST(GlobalStrings, NoTableAnswersMissing)
{
    EXPECT_STREQ(GrabString(nullptr, "windowtitle").c_str(), "#####");
    EXPECT_STREQ(GlocalisedString("windowtitle").c_str(), "#####");  // no platform here
}

TEST_F(SceneStrings, TheProgramTableIsProbedWithoutLoggingMisses)
{
    strings.Table().SetQuiet(false);
    SetGlobalStringTable(&strings.Table());
    const std::pair<const char*, bool> cases[] = {{"two_lines", true}, {"missing", false}, {"empty", false}};
    for (const auto& [key, has] : cases) {
        TLogCapture log;
        EXPECT_EQ(HasGlocalisedString(key), has) << key;
        EXPECT_EQ(log.Text(), "") << key;
    }
    // The table logs its misses again afterwards.
    EXPECT_FALSE(strings.Table().IsQuiet());
    SetGlobalStringTable(nullptr);
    EXPECT_FALSE(HasGlocalisedString("two_lines"));
}

TEST_F(SceneStrings, LocaliseFallsBackToTheKey)
{
    struct Case
    {
        const char* key;
        std::string text;
        bool logged;
    };
    const Case cases[] = {
        {"two_lines", "Line one\nLine two", false},
        {"missing", "missing", true},  // the table's "#####"
        {"empty", "empty", true},      // an empty text
        {"%s%n", "%s%n", true},        // a key is never a format
        {"code", "os.exit() --[[", false},
    };
    for (const Case& c : cases) {
        TLogCapture log;
        EXPECT_EQ(strings.localisestring(c.key).c_str(), c.text) << c.key;
        const std::string line = std::string("Failed to find localized text for [") + c.key + "]";
        EXPECT_EQ(log.Text().find(line) != std::string::npos, c.logged) << c.key;
    }
}

// Every script method through a scene object, with what each call logs.
TEST_F(SceneStrings, ScriptMethods)
{
    struct Case
    {
        const char* code;
        const char* result;
        const char* log;
    };
    const Case cases[] = {
        {"r = scene:grabstring('two_lines')", "Line one\nLine two", nullptr},
        {"r = tostring((scene:grabstring('empty')))", "nil", nullptr},
        {"r = tostring((scene:grabstring('missing')))", "nil", nullptr},
        {"r = tostring((scene:grabstring('hash')))", "nil", nullptr},
        {"r = scene:grabstring('code')", "os.exit() --[[", nullptr},  // never run
        {"r = tostring((scene:grabstring(5)))", "nil", "BAD CALL OF grabstring"},
        {"r = tostring((scene.grabstring()))", "nil", "stackdump(grabstring)"},
        {"local s, l = scene:grabspeechline('hello') r = s .. '|' .. l", "Gardener| Nice day.\nIsn't it?", nullptr},
        {"local s, l = scene:grabspeechline('colon_first') r = s .. '|' .. l", "|:Just a line", nullptr},
        {"local s, l = scene:grabspeechline('no_speaker') r = s .. '|' .. l", "|Just a line", nullptr},
        {"local s, l = scene:grabspeechline('missing') r = s .. '|' .. l", "|", nullptr},
        {"local s, l = scene:grabspeechline('empty') r = s .. '|' .. l", "|", nullptr},
        {"r = tostring((scene:grabspeechline({})))", "nil", "BAD CALL OF GRABSPEECHLINE"},
        {"r = scene:grabformattedstring('coins', {3, 'a hat'})", "You have 3 coins\nand a hat.", nullptr},
        {"r = scene:grabformattedstring('five', {1, 2, 3, 4, 5})", "12345", nullptr},
        {"r = tostring((scene:grabformattedstring('five', {1, 2, 3, 4, 5, 6})))", "nil",
         "Too many params (6) to grabformattedstring"},
        {"r = scene:grabformattedstring('missing', {}) .. '!'", "!", nullptr},
        {"r = scene:grabformattedstring('empty', {1}) .. '!'", "!", nullptr},
        {"r = tostring((scene:grabformattedstring('coins', 'x')))", "nil", "stackdump(grabformattedstring)"},
    };
    lua_State* L = lua_open();
    luaopen_base(L);
    lua_settop(L, 0);
    lua_newtable(L);
    SceneStringsLuaAdd(L, &strings);
    lua_setglobal(L, "scene");
    for (const Case& c : cases) {
        RunLua(L, "r = 'unset'");
        const std::string log = RunLua(L, c.code);
        EXPECT_EQ(LuaGlobal(L, "r"), c.result) << c.code;
        if (c.log)
            EXPECT_NE(log.find(c.log), std::string::npos) << c.code << "\n" << log;
        else
            EXPECT_EQ(log, "") << c.code;
    }
    lua_close(L);
}

}  // namespace
