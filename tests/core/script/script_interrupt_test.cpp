// A script that holds the main thread is stopped with an error naming it once the interrupt is
// armed and the platform's check says so, wherever it loops; otherwise scripts run to their end
// and, unarmed, are not even asked about.
#include "script_test_support.h"

#include "core/script/script.h"
#include "core/script/script_interrupt.h"

#include <memory>
#include <string>

namespace {

class ScriptInterrupt : public ScriptTest
{
protected:
    void TearDown() override
    {
        DisarmScriptInterrupt();
        SetScriptInterruptCheck(nullptr);
        ScriptTest::TearDown();
    }
};

TEST_F(ScriptInterrupt, StopsOnlyWhenTheCheckSaysSo)
{
    struct Case
    {
        const char* what;
        const char* code;
        bool armed;
        bool stop;
        bool runs;           // RunScript's answer
        const char* logged;  // "" for a silent run
    };
    const Case cases[] = {
        {"endless loop", "while true do end", true, true, false, "stopped at line 1"},
        {"endless loop that swallows errors", "while true do pcall(function() while true do end end) end", true, true,
         false, "stopped at line 1"},
        {"endless loop in the started coroutine", "return function()\n while true do end\nend", true, true, true,
         "lua_resume error: script"},
        {"finalizer that never returns",
         "do local p = newproxy(true) getmetatable(p).__gc = function() while true do end end p = nil collectgarbage() "
         "end",
         true, true, false, "stopped at line 1"},
        {"long loop, nobody asks", "for i = 1, 300000 do done = i end", true, false, true, ""},
        {"long loop, not armed", "for i = 1, 300000 do done = i end", false, true, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = UniqueName(("case" + std::to_string(&c - cases)).c_str());
        PutScript(file, c.code);
        int checks = 0;
        SetScriptInterruptCheck([&] { return ++checks > 2 && c.stop; });
        TScript script;
        if (c.armed)
            ArmScriptInterrupt();
        StartLog();
        EXPECT_EQ(script.RunScript(file.c_str()), c.runs);
        const std::string log = TakeLog();
        if (*c.logged) {
            EXPECT_NE(log.find(c.logged), std::string::npos) << log;
            EXPECT_NE(log.find(file), std::string::npos) << log;
        } else {
            EXPECT_EQ(log, "");
            EXPECT_EQ(GlobalNumber(script.GetState(), "done"), 300000);
        }
        if (c.armed)
            EXPECT_GT(checks, 2);
        else
            EXPECT_EQ(checks, 0);
        DisarmScriptInterrupt();
    }
}

// A helper read under pcall loops: the caller catches the stop and meets it again on its own
// line, and the log still names the helper's file and line, on the state as in a coroutine.
TEST_F(ScriptInterrupt, TheStopNamesWhereTheScriptWasRunningWhenACallerCatchesIt)
{
    const std::string helper = UniqueName("helper");
    PutScript(helper, "x = 1\nwhile true do end\n");
    const std::string read = "local ok, message = pcall(dofile, 'assets/" + helper + "')\nlocal y = 2\n";
    const std::string caller = UniqueName("caller");
    PutScript(caller, "return function()\n" + read + "end\n");
    int checks = 0;
    SetScriptInterruptCheck([&checks] { return ++checks > 1; });
    for (const char* logged : {"Lua error: ", "lua_resume error: "}) {
        SCOPED_TRACE(logged);
        TScript script;
        checks = 0;
        ArmScriptInterrupt();
        StartLog();
        if (*logged == 'L')
            script.DoLuaString(read.c_str());
        else
            script.RunScript(caller.c_str());
        const std::string log = TakeLog();
        EXPECT_NE(log.find(logged + ("script assets/" + helper + " stopped at line 2")), std::string::npos) << log;
        EXPECT_EQ(log.find(" stopped at line 1"), std::string::npos) << log;
        DisarmScriptInterrupt();
    }
}

// Arming reaches states made before and after it, and never a state that has been closed.
TEST_F(ScriptInterrupt, ArmingReachesEveryKnownStateAndNoClosedOne)
{
    SetScriptInterruptCheck([] { return true; });
    {
        TScript closed;
    }
    TScript before;
    std::unique_ptr<TScript> thread(before.NewThread());
    ArmScriptInterrupt();
    TScript after;
    for (TScript* script : {&before, thread.get(), &after}) {
        StartLog();
        EXPECT_NE(script->DoLuaString("while true do end"), 0);
        EXPECT_NE(TakeLog().find("stopped at line 1"), std::string::npos);
    }
    DisarmScriptInterrupt();
    SetScriptInterruptCheck([] { return false; });
    StartLog();
    EXPECT_EQ(after.DoLuaString("for i = 1, 100000 do end"), 0);
    EXPECT_EQ(TakeLog(), "");
}

}  // namespace
