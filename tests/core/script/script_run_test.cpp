#include "script_test_support.h"

#include <lauxlib.h>

#include <memory>

#include "core/files/asset.h"
#include "core/script/lua_state_hooks.h"
#include "core/script/script.h"
#include "core/script/script_code.h"

namespace {

int CountOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

using ScriptRun = ScriptTest;

TEST_F(ScriptRun, ScriptFileRunsAndLeavesTheStackAlone)
{
    const std::string name = UniqueName("ok");
    PutScript(name, "#!shell line kept out of the way\nanswer = 6 * 7\nreturn 'ignored'\n");
    TScript script;
    lua_State* L = script.GetState();
    lua_pushnumber(L, 1);
    EXPECT_TRUE(script.RunScript(name.c_str()));
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(GlobalNumber(L, "answer"), 42);
    EXPECT_FALSE(script.CoroutineActive());
}

TEST_F(ScriptRun, EmptyOrMissingNamesFailQuietly)
{
    TScript script;
    lua_State* L = script.GetState();
    lua_pushstring(L, "keep");
    StartLog();
    EXPECT_FALSE(script.RunScript(""));
    EXPECT_FALSE(script.RunScript("scripts/not_there.lua"));
    EXPECT_EQ(TakeLog(), "");
    EXPECT_EQ(lua_gettop(L), 1);
    str error;
    EXPECT_EQ(TScriptCode::Get("", "", &error), nullptr);
}

TEST_F(ScriptRun, CompileAndRunErrorsAreReported)
{
    const std::string bad = UniqueName("syntax");
    const std::string fails = UniqueName("fails");
    PutScript(bad, "x = = 1\n");
    PutScript(fails, "local t = nil\nreturn t.field\n");
    TScript script;
    lua_State* L = script.GetState();

    StartLog();
    EXPECT_FALSE(script.RunScript(bad.c_str()));
    std::string log = TakeLog();
    // Long chunk names are shortened from the front, as Lua does.
    EXPECT_NE(log.find("Lua error: "), std::string::npos) << log;
    EXPECT_NE(log.find("_syntax.lua:1: unexpected symbol"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(L), 0);

    StartLog();
    EXPECT_FALSE(script.RunScript(fails.c_str()));
    log = TakeLog();
    EXPECT_EQ(CountOf(log, "Lua error: "), 1) << log;
    EXPECT_NE(log.find("_fails.lua:2: attempt to index"), std::string::npos) << log;
    EXPECT_NE(log.find("Failed to run script " + fails + ": 1"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(L), 0);

    str error;
    EXPECT_EQ(TScriptCode::Get(bad.c_str(), "", &error), nullptr);
    EXPECT_NE(std::string(error.c_str()).find(":1:"), std::string::npos);
}

// A script that takes memory without end is stopped at its state's bound, logged once with its
// file and line, and the state runs the next script.
TEST_F(ScriptRun, AScriptPastTheMemoryBoundIsReportedAndTheStateGoesOn)
{
    const std::string greedy = UniqueName("greedy");
    PutScript(greedy, "local t = {}\nwhile true do t[table.getn(t) + 1] = string.rep('x', 1048576) .. table.getn(t) end\n");
    TScript script;
    StartLog();
    EXPECT_FALSE(script.RunScript(greedy.c_str()));
    const std::string log = TakeLog();
    EXPECT_EQ(CountOf(log, "Lua error: "), 1) << log;
    EXPECT_NE(log.find("Lua error: script " + greedy + " stopped at line 2: its memory passed the limit of 64 MB"),
              std::string::npos)
        << log;
    EXPECT_LT(size_t(lua_getgccount(script.GetState())) << 10, kScriptMemoryLimit / 8);
    EXPECT_EQ(script.DoLuaString("after = string.rep('y', 1000)"), 0);
}

TEST_F(ScriptRun, EachFileIsCompiledOncePerRun)
{
    TAssetManager manager;
    TAssetManager::SetInstance(&manager);
    const std::string name = UniqueName("once");
    PutScript(name, "runs = (runs or 0) + 1\n");
    TScript script;
    EXPECT_TRUE(script.RunScript(name.c_str()));
    auto held = AssetCast<TScriptCode>(manager.GetAsset(name.c_str()));
    ASSERT_NE(held, nullptr);
    EXPECT_GT(held->GetLength(), 0u);

    // A changed source is not read again: the stored chunk runs.
    PutScript(name, "runs = 100\n");
    EXPECT_TRUE(script.RunScript(name.c_str()));
    EXPECT_EQ(GlobalNumber(script.GetState(), "runs"), 2);
    TAssetManager::SetInstance(nullptr);

    // Without an asset manager the run's own cache still holds it.
    EXPECT_TRUE(script.RunScript(name.c_str()));
    EXPECT_EQ(GlobalNumber(script.GetState(), "runs"), 3);
    str error;
    EXPECT_EQ(TScriptCode::Get(name.c_str(), "", &error), held);

    // The same name in another data folder is another file, compiled in its turn.
    Put("other/assets/" + name, "runs = 50\n");
    TFile::mResourceDir = (root + "/other").c_str();
    TFile::mResourceMap.clear();
    TFile::ScanForResources();
    EXPECT_TRUE(script.RunScript(name.c_str()));
    EXPECT_EQ(GlobalNumber(script.GetState(), "runs"), 50);
}

TEST_F(ScriptRun, DoLuaStringResultsAndStackHeight)
{
    TScript script;
    lua_State* L = script.GetState();
    lua_pushnumber(L, 7);
    EXPECT_EQ(script.DoLuaString("x = 5"), 0);
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(GlobalNumber(L, "x"), 5);

    EXPECT_EQ(script.DoLuaString("return 1, 'two'", -1, 2), 0);
    ASSERT_EQ(lua_gettop(L), 3);
    EXPECT_EQ(lua_tonumber(L, 2), 1);
    EXPECT_STREQ(lua_tostring(L, 3), "two");
    lua_settop(L, 1);

    // A length cuts the text; one past the end is held to the end.
    EXPECT_EQ(script.DoLuaString("y = 12345", 5), 0);
    EXPECT_EQ(GlobalNumber(L, "y"), 1);
    EXPECT_EQ(script.DoLuaString("z = 3", 500), 0);
    EXPECT_EQ(GlobalNumber(L, "z"), 3);

    TScript::mLuaPath = "mods/?;?";
    script.DoLuaString("");
    EXPECT_EQ(GlobalString(L, "LUA_PATH"), "mods/?;?");
    TScript::mLuaPath = "assets/?;?;../?;../../?";
    EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(ScriptRun, DoLuaStringErrorsNameTheirPhase)
{
    TScript script;
    lua_State* L = script.GetState();
    script.DoLuaString("function LuaErrorMessage(m) lastMessage = m end");

    StartLog();
    EXPECT_NE(script.DoLuaString("x = = 1"), 0);
    std::string log = TakeLog();
    EXPECT_NE(log.find("DoLuaString Lua Error: "), std::string::npos) << log;
    EXPECT_NE(log.find("\n\twhen parsing x = = 1"), std::string::npos) << log;
    EXPECT_NE(GlobalString(L, "lastMessage").find("when parsing"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), 0);

    StartLog();
    EXPECT_EQ(script.DoLuaString("error('boom')"), LUA_ERRRUN);
    log = TakeLog();
    EXPECT_EQ(CountOf(log, "Lua error: "), 1) << log;
    EXPECT_NE(log.find("boom\n\twhen running error('boom')"), std::string::npos) << log;
    EXPECT_NE(GlobalString(L, "lastMessage").find("boom"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), 0);

    // An error object that is not text is logged by its type, never as a null text.
    StartLog();
    EXPECT_EQ(script.DoLuaString("error({})"), LUA_ERRRUN);
    log = TakeLog();
    EXPECT_NE(log.find("Lua error: (error object is a table value)"), std::string::npos) << log;
    EXPECT_EQ(log.find("DoLuaString"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptRun, ToParamsSpreadsATable)
{
    TScript script;
    lua_State* L = script.GetState();
    script.DoLuaString("function count(...) return arg.n end\n"
                       "a, b, c = toparams({1, 2, 3})\n"
                       "none = count(toparams({}))\n"
                       "counted = count(toparams({n = 2, 5, 6, 7}))\n"
                       "holes = count(toparams({[1] = 1, [4] = 4}))\n"
                       "local big = {} for i = 1, 300 do big[i] = i end\n"
                       "function sum(...) local s = 0 for i = 1, arg.n do s = s + arg[i] end return s end\n"
                       "total = sum(toparams(big))\n");
    EXPECT_EQ(GlobalNumber(L, "a"), 1);
    EXPECT_EQ(GlobalNumber(L, "b"), 2);
    EXPECT_EQ(GlobalNumber(L, "c"), 3);
    EXPECT_EQ(GlobalNumber(L, "none"), 0);
    EXPECT_EQ(GlobalNumber(L, "counted"), 2);
    EXPECT_EQ(GlobalNumber(L, "holes"), 4);
    EXPECT_EQ(GlobalNumber(L, "total"), 300 * 301 / 2);

    StartLog();
    script.DoLuaString("nothing = count(toparams(5))");
    EXPECT_NE(TakeLog().find("toparams: expected a table, got number"), std::string::npos);
    EXPECT_EQ(GlobalNumber(L, "nothing"), 0);
}

TEST_F(ScriptRun, DumpTableStopsBeyondIndentTen)
{
    TScript script;
    lua_State* L = script.GetState();
    script.DoLuaString("deep = {a = {b = {c = {d = {e = {f = 1}}}}}}\n"
                       "text = _Internal_DumpTable(deep, 2)\n"
                       "flat = _Internal_DumpTable({k = 'v'})\n"
                       "_accumulated_table_data = 'x'\n"
                       "DumpTable(deep)\n");
    const std::string text = GlobalString(L, "text");
    EXPECT_NE(text.find("  a -> {\n    b -> {\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n            ...\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("f ->"), std::string::npos) << text;
    EXPECT_EQ(GlobalString(L, "flat"), "k -> v\n\n");
    EXPECT_EQ(GlobalString(L, "_accumulated_table_data"), "");
}

TEST_F(ScriptRun, GlobalsAndPops)
{
    TScript script;
    lua_State* L = script.GetState();
    script.SetGlobalString("name", "Ada");
    script.SetGlobalNumber("size", 2.5);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(GlobalString(L, "name"), "Ada");
    EXPECT_EQ(GlobalNumber(L, "size"), 2.5);

    lua_pushnumber(L, 12);
    EXPECT_STREQ(script.PopString().c_str(), "12");
    EXPECT_EQ(script.PopString(), str());  // nothing left: nothing popped
    EXPECT_EQ(lua_gettop(L), 0);

    script.DoLuaString("return {0.5, 0.25, 1}", -1, 1);
    EXPECT_EQ(script.PopColor(), TColor(0.5f, 0.25f, 1, 0));
    EXPECT_EQ(lua_gettop(L), 0);

    lua_getglobal(L, "_SCRIPT");
    EXPECT_EQ(lua_touserdata(L, -1), &script);
    lua_pop(L, 1);
}

TEST_F(ScriptRun, GivenStateHasNoScriptGlobal)
{
    lua_State* L = lua_open();
    TScript script(L);  // closes it
    lua_getglobal(L, "_SCRIPT");
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
    lua_getglobal(L, "_ALERT");
    EXPECT_TRUE(lua_isfunction(L, -1));
    lua_pop(L, 1);
    EXPECT_TRUE(script.IsPaused());
}

}  // namespace
