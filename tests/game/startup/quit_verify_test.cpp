// The close request's question run on the window script, whatever its coroutine is doing.

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

namespace {

class QuitVerify : public testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tv-quitverify-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mDir = pattern;
        std::filesystem::create_directories(mDir + "/assets/scripts");
        // A quit script that does not ask: it only counts its runs.
        std::ofstream(mDir + "/assets/scripts/quitverify.lua") << "gAsked = (gAsked or 0) + 1\n";
        mCwd = std::filesystem::current_path();
        std::filesystem::current_path(mDir);
        TFile::mResourceDir = str();
        TFile::mResourceMap.clear();
        TFile::ScanFolderForResources("assets", "");
    }
    void TearDown() override
    {
        TFile::ShutDownFileSystem();
        std::filesystem::current_path(mCwd);
        std::filesystem::remove_all(mDir);
    }
    std::string mDir;
    std::filesystem::path mCwd;
};

TEST_F(QuitVerify, AQuestionNotAskedLeavesTheStackAsItWas)
{
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
        lua_getglobal(L, "gAsked");
        EXPECT_EQ(lua_tonumber(L, -1), 3);
        lua_pop(L, 1);
    }
}

}  // namespace
