// The states the host opens: coroutines seen however they were resumed, script files read
// through the file layer, and the memory, panic and fatal-error hooks.
#include "script_test_support.h"

#include <lauxlib.h>

#include <memory>
#include <string>

#include "core/script/lua_state_hooks.h"
#include "core/script/script.h"

namespace {

using ScriptHostState = ScriptTest;

// `w = L"<unit>"` as UTF-16 text, low byte first, after the FF FE mark.
std::string Utf16WideAssignment(unsigned short unit)
{
    const std::string ascii1 = "w = L\"";
    const std::string ascii2 = "\"\n";
    std::string bytes = "\xFF\xFE";
    for (char c : ascii1)
        bytes += std::string{c, '\0'};
    bytes += char(unit & 0xFF);
    bytes += char(unit >> 8);
    for (char c : ascii2)
        bytes += std::string{c, '\0'};
    return bytes;
}

TEST_F(ScriptHostState, CoroutineResumedThroughThePlainInterfaceIsSeen)
{
    TScript script;
    std::unique_ptr<TScript> thread(script.NewThread());
    lua_State* T = thread->GetState();
    const char code[] = "stage = 1; coroutine.yield(); stage = 2";
    ASSERT_EQ(luaL_loadbuffer(T, code, sizeof code - 1, "plain"), 0);
    EXPECT_FALSE(thread->CoroutineActive());

    ASSERT_EQ(lua_resume(T, 0), 0);
    EXPECT_EQ(GlobalNumber(T, "stage"), 1);
    EXPECT_TRUE(thread->CoroutineActive());
    // The parent state is not itself suspended.
    EXPECT_FALSE(script.CoroutineActive());

    ASSERT_EQ(lua_resume(T, 0), 0);
    EXPECT_EQ(GlobalNumber(T, "stage"), 2);
    EXPECT_FALSE(thread->CoroutineActive());
}

TEST_F(ScriptHostState, DofileAndRequireReadAssetsThroughTheFileLayer)
{
    const std::string module = UniqueName("module");
    PutScript(module, "loads = (loads or 0) + 1\nreturn 'module result'\n");
    // A memory file exists only in the file layer, and its UTF-16 text holds the byte 0x0D,
    // which only a binary read keeps.
    static const std::string utf16 = Utf16WideAssignment(0x0D0A);
    TFile::AddMemoryFile("scripts/wide_memory.lua", utf16.data(), unsigned(utf16.size()));

    TScript script;
    lua_State* L = script.GetState();
    StartLog();
    EXPECT_EQ(script.DoLuaString("dofile('scripts/wide_memory.lua')"), 0);
    EXPECT_EQ(script.DoLuaString(("first = require('" + module + "')").c_str()), 0);
    EXPECT_EQ(script.DoLuaString(("again = require('" + module + "')").c_str()), 0);
    EXPECT_EQ(script.DoLuaString(("dofile('" + module + "')").c_str()), 0);
    EXPECT_EQ(TakeLog(), "");

    lua_getglobal(L, "w");
    ASSERT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(lua_wstrlen(L, -1), 1u);
    EXPECT_EQ(lua_towstring(L, -1)[0], 0x0D0A);
    lua_pop(L, 1);
    // require went through LUA_PATH ("assets/?" first) and loaded the module once.
    EXPECT_EQ(GlobalString(L, "first"), "module result");
    EXPECT_EQ(GlobalString(L, "again"), "module result");
    EXPECT_EQ(GlobalNumber(L, "loads"), 2);

    // Script files compiled for RunScript come through the same loader.
    TFile::AddMemoryFile("scripts/wide_run.lua", utf16.data(), unsigned(utf16.size()));
    lua_pushnil(L);
    lua_setglobal(L, "w");
    EXPECT_TRUE(script.RunScript("scripts/wide_run.lua"));
    lua_getglobal(L, "w");
    ASSERT_NE(lua_towstring(L, -1), nullptr);
    EXPECT_EQ(lua_towstring(L, -1)[0], 0x0D0A);
    lua_pop(L, 1);

    TFile::AddMemoryFile("scripts/wide_memory.lua", nullptr, 0);
    TFile::AddMemoryFile("scripts/wide_run.lua", nullptr, 0);
}

TEST_F(ScriptHostState, MissingFilesAreReportedAsLuaErrors)
{
    TScript script;
    StartLog();
    EXPECT_NE(script.DoLuaString("dofile('scripts/no_such_file.lua')"), 0);
    EXPECT_NE(script.DoLuaString("require('no_such_module')"), 0);
    const std::string log = TakeLog();
    EXPECT_NE(log.find("cannot open scripts/no_such_file.lua"), std::string::npos) << log;
    EXPECT_NE(log.find("could not load package `no_such_module'"), std::string::npos) << log;
}

// Every loader takes a file of no bytes as the empty chunk, the host's own running of script
// files too, in a state the host made and in one it took over: what a script made is checked
// where it is used, not the length of its file.
TEST_F(ScriptHostState, AnEmptyFileLoadsAsAnEmptyChunkThroughEveryLoader)
{
    const std::string empty = UniqueName("empty");
    PutScript(empty, "");
    const std::string module = empty.substr(0, empty.size() - 4);
    PutScript(module, "");
    const std::string loads[] = {
        "gGot = type(loadfile('" + empty + "'))",
        "local got = dofile('" + empty + "'); gGot = type(got) .. ' from dofile'",
        "local got = require('" + module + "'); gGot = type(got) .. ' from require'",
    };
    const char* expected[] = {"function", "nil from dofile", "boolean from require"};
    for (const bool own : {true, false}) {
        std::unique_ptr<TScript> script(own ? new TScript : new TScript(lua_open()));
        for (size_t i = 0; i < std::size(loads); ++i) {
            SCOPED_TRACE(loads[i] + (own ? " (own state)" : " (state taken over)"));
            StartLog();
            EXPECT_EQ(script->DoLuaString(loads[i].c_str()), 0);
            EXPECT_EQ(TakeLog(), "");
            EXPECT_EQ(GlobalString(script->GetState(), "gGot"), expected[i]);
        }
        StartLog();
        EXPECT_TRUE(script->RunScript(empty.c_str()));
        EXPECT_EQ(TakeLog(), "");
    }
}

TEST(ScriptHostHooks, AllocationHookHasReallocSemantics)
{
    void* block = HostLuaAlloc(nullptr, nullptr, 0, 8);
    ASSERT_NE(block, nullptr);
    static_cast<char*>(block)[7] = 'z';
    block = HostLuaAlloc(nullptr, block, 8, 4096);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<char*>(block)[7], 'z');
    EXPECT_EQ(HostLuaAlloc(nullptr, block, 4096, 0), nullptr);
    EXPECT_EQ(HostLuaAlloc(nullptr, nullptr, 0, 0), nullptr);
}

TEST(ScriptHostHooksDeathTest, AnUnprotectedErrorIsLoggedAndEndsTheProcessWithStatusOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TScript script;
            lua_State* L = script.GetState();
            lua_pushstring(L, "outside every protected call");
            lua_error(L);
        },
        ::testing::ExitedWithCode(1), "Lua error: outside every protected call");
}

}  // namespace
