// The close request's question run on the window script, whatever its coroutine is doing, and
// what its answer does.

#include "core/files/file.h"
#include "game/startup/quit_verify.h"
#include "ui/window/window_script_base.h"

#include <gtest/gtest.h>
#include <lua.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Global(TWindowScriptBase& script, const char* name)
{
    script.DoLuaString((std::string("gGot = tostring(") + name + ")").c_str());
    lua_State* L = script.GetState();
    lua_getglobal(L, "gGot");
    const std::string text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return text;
}

class QuitVerify : public testing::Test
{
protected:
    void TearDown() override
    {
        TFile::ShutDownFileSystem();
        TFile::mResourceDir = str();
        for (const std::string& dir : mDirs)
            std::filesystem::remove_all(dir);
    }
    // A data folder of its own for each script: compiled scripts are kept by their file.
    void UseQuitScript(const std::string& text)
    {
        char pattern[] = "/tmp/tv-quitverify-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mDirs.push_back(pattern);
        std::filesystem::create_directories(mDirs.back() + "/assets/scripts");
        std::ofstream(mDirs.back() + "/assets/scripts/quitverify.lua") << text;
        TFile::mResourceDir = mDirs.back().c_str();
        TFile::mResourceMap.clear();
        TFile::ScanFolderForResources("assets", "");
    }
    std::vector<std::string> mDirs;
};

TEST_F(QuitVerify, AQuestionNotAskedLeavesTheStackAsItWas)
{
    // A quit script that does not ask: it counts its runs and keeps the game.
    UseQuitScript("gAsked = (gAsked or 0) + 1\nreturn 'keep playing'\n");
    const struct
    {
        const char* what;
        const char* interface;  // Lua run first
    } cases[] = {
        {"no coroutine", ""},
        {"a coroutine in a plain yield", "return function() coroutine.yield() end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TWindowScriptBase script;
        ASSERT_EQ(script.DoLuaString(c.interface), 0);
        lua_State* L = script.GetState();
        const int height = lua_gettop(L);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(AskWhetherToQuit(&script));
            EXPECT_EQ(lua_gettop(L), height) << "request " << i + 1;
        }
        EXPECT_EQ(Global(script, "gAsked"), "3");
    }
}

// Only the answer "keep playing" keeps the game; leaving, the game in play is kept first.
TEST_F(QuitVerify, OnlyKeepPlayingKeepsTheGame)
{
    const struct
    {
        const char* script;
        bool leaves;
    } cases[] = {
        {"return 'keep playing'", false}, {"", true},        {"do return end", true}, {"return 'quit_no'", true},
        {"error('broken')", true},        {"if then", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        UseQuitScript(c.script);
        TWindowScriptBase script;
        BindQuitRequest(script.GetState());
        ASSERT_EQ(script.DoLuaString("gKept = 0; function KeepTheGameInPlay() gKept = gKept + 1 end\n"
                                     "gLeaves = RequestQuit()"),
                  0);
        EXPECT_EQ(Global(script, "gLeaves"), c.leaves ? "true" : "false");
        EXPECT_EQ(Global(script, "gKept"), c.leaves ? "1" : "0");
    }
}

// A guard that fails leaves as a question unanswered does: the game in play kept first.
TEST_F(QuitVerify, AGuardThatFailsStillKeepsTheGameInPlay)
{
    UseQuitScript("return 'keep playing'");
    TWindowScriptBase script;
    // Without the coroutine library the guard cannot make the coroutine it asks in.
    ASSERT_EQ(script.DoLuaString("gKept = 0; function KeepTheGameInPlay() gKept = gKept + 1 end; coroutine = nil"), 0);
    EXPECT_TRUE(AskWhetherToQuit(&script));
    EXPECT_EQ(Global(script, "gKept"), "1");
}

}  // namespace
