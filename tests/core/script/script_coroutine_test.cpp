#include "script_test_support.h"

#include <memory>

#include "core/script/lua_function.h"
#include "core/script/lua_table.h"
#include "core/script/script.h"
#include "core/time/task.h"

namespace {

using ScriptCoroutine = ScriptTest;

const char kStepper[] = "steps = 0\n"
                        "return function()\n"
                        "  steps = 1; coroutine.yield()\n"
                        "  steps = 2; coroutine.yield()\n"
                        "  steps = 3\n"
                        "end\n";

void Tick(TTaskList& list)
{
    gScriptTestNow += 16;
    list.DoAll(TTask::kIdleContext);
}

TEST_F(ScriptCoroutine, ReturnedFunctionStepsOncePerTickUntilItEnds)
{
    const std::string name = UniqueName("stepper");
    PutScript(name, kStepper);
    TTaskList list;
    auto* script = new TScript;
    list.AdoptTask(script);
    lua_State* L = script->GetState();
    EXPECT_EQ(script->GetTimeUntilReady(), -1);

    ASSERT_TRUE(script->RunScript(name.c_str()));
    EXPECT_EQ(GlobalNumber(L, "steps"), 1);
    EXPECT_TRUE(script->CoroutineActive());
    EXPECT_FALSE(script->IsPaused());

    Tick(list);
    EXPECT_EQ(GlobalNumber(L, "steps"), 2);
    EXPECT_TRUE(script->CoroutineActive());
    Tick(list);
    EXPECT_EQ(GlobalNumber(L, "steps"), 3);
    EXPECT_FALSE(script->CoroutineActive());
    EXPECT_TRUE(script->IsPaused());

    // Nothing further runs once it has ended; the state is usable again.
    lua_pushnil(L);
    lua_setglobal(L, "steps");
    Tick(list);
    EXPECT_EQ(GlobalString(L, "steps"), "<nil>");
    EXPECT_EQ(script->DoLuaString("after = 1"), 0);
    EXPECT_EQ(GlobalNumber(L, "after"), 1);
}

TEST_F(ScriptCoroutine, DoLuaStringStartsAReturnedFunctionToo)
{
    TScript script;
    lua_State* L = script.GetState();
    EXPECT_EQ(script.DoLuaString("return function() v = 1; coroutine.yield(5, 6); v = 2 end"), 0);
    EXPECT_EQ(GlobalNumber(L, "v"), 1);
    EXPECT_TRUE(script.CoroutineActive());
    EXPECT_EQ(script.Resume(0), 0);
    EXPECT_EQ(GlobalNumber(L, "v"), 2);
    EXPECT_FALSE(script.CoroutineActive());
}

TEST_F(ScriptCoroutine, ErrorsInsideTheCoroutineStopTheTask)
{
    TTaskList list;
    auto* script = new TScript;
    list.AdoptTask(script);
    StartLog();
    script->DoLuaString("return function() coroutine.yield(); error('late failure') end");
    EXPECT_TRUE(script->CoroutineActive());
    Tick(list);
    std::string log = TakeLog();
    EXPECT_NE(log.find("lua_resume ERROR: "), std::string::npos) << log;
    EXPECT_NE(log.find("late failure"), std::string::npos) << log;
    EXPECT_TRUE(script->IsPaused());
    EXPECT_FALSE(script->CoroutineActive());

    StartLog();
    script->DoLuaString("return function() error('early failure') end");
    log = TakeLog();
    EXPECT_NE(log.find("lua_resume error: "), std::string::npos) << log;
    EXPECT_NE(log.find("early failure"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(script->GetState()), 0);
}

TEST_F(ScriptCoroutine, InjectedFunctionsRunInsideTheSuspendedCoroutine)
{
    TScript script;
    lua_State* L = script.GetState();
    script.DoLuaString("function probe(...) got = arg.n; first = arg[1]; sixth = arg[6]; seventh = arg[7] end\n"
                       "return function() phase = 1; coroutine.yield(); phase = 2 end");
    ASSERT_TRUE(script.CoroutineActive());
    const int height = lua_gettop(L);

    for (int round = 0; round < 3; ++round) {
        lua_getglobal(L, "probe");
        for (int i = 1; i <= 7; ++i)
            lua_pushnumber(L, i * 10);
        EXPECT_EQ(script.RunFunction(7, 0), 0);
        EXPECT_EQ(lua_gettop(L), height);  // nothing left behind, round after round
    }
    EXPECT_EQ(GlobalNumber(L, "got"), 6);
    EXPECT_EQ(GlobalNumber(L, "first"), 10);
    EXPECT_EQ(GlobalNumber(L, "sixth"), 60);
    EXPECT_EQ(GlobalString(L, "seventh"), "<nil>");

    // The coroutine itself carries on afterwards.
    EXPECT_EQ(GlobalNumber(L, "phase"), 1);
    EXPECT_EQ(script.Resume(0), 0);
    EXPECT_EQ(GlobalNumber(L, "phase"), 2);
    EXPECT_FALSE(script.CoroutineActive());
}

// Takes injected closures over, to run them later.
class Collector : public TScript
{
public:
    bool InjectFunction() override
    {
        taken.emplace_back(new TLuaFunction(GetState()));
        return true;
    }
    std::vector<std::unique_ptr<TLuaFunction>> taken;
};

TEST_F(ScriptCoroutine, AnOverrideTakesTheClosureOver)
{
    auto script = std::make_unique<Collector>();
    lua_State* L = script->GetState();
    script->DoLuaString("function mark(a, b) marked = a .. b end\n"
                        "return function() coroutine.yield() end");
    lua_getglobal(L, "mark");
    lua_pushstring(L, "x");
    lua_pushstring(L, "y");
    EXPECT_EQ(script->RunFunction(2, 0), 0);
    EXPECT_EQ(GlobalString(L, "marked"), "<nil>");
    ASSERT_EQ(script->taken.size(), 1u);
    EXPECT_EQ(lua_gettop(L), 0);

    script->taken[0]->Push();
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0);
    EXPECT_EQ(GlobalString(L, "marked"), "xy");
    script->taken.clear();
}

TEST_F(ScriptCoroutine, NewThreadRunsOnACoroutineOfTheSameState)
{
    TScript parent;
    lua_State* L = parent.GetState();
    parent.SetGlobalNumber("shared", 1);
    std::unique_ptr<TScript> child(parent.NewThread());
    ASSERT_NE(child->GetState(), L);
    EXPECT_EQ(GlobalNumber(child->GetState(), "shared"), 1);

    child->DoLuaString("return function() shared = 2; coroutine.yield(); shared = 3 end");
    EXPECT_TRUE(child->CoroutineActive());
    EXPECT_FALSE(parent.CoroutineActive());
    EXPECT_EQ(GlobalNumber(L, "shared"), 2);
    // The parent state stays free for other work meanwhile.
    EXPECT_EQ(parent.DoLuaString("other = shared * 10"), 0);
    EXPECT_EQ(GlobalNumber(L, "other"), 20);
    EXPECT_TRUE(child->Animate());
    EXPECT_EQ(GlobalNumber(L, "shared"), 3);
    EXPECT_TRUE(child->IsPaused());

    // A child dropped mid-run releases its coroutine without closing the shared state.
    std::unique_ptr<TScript> second(parent.NewThread());
    second->DoLuaString("return function() coroutine.yield() end");
    second.reset();
    child.reset();
    lua_setgcthreshold(L, 0);
    EXPECT_EQ(parent.DoLuaString("alive = true"), 0);
}

// Counts deletions of table wrappers.
struct CountedTable : TLuaTable
{
    CountedTable(lua_State* L, int* deleted) : TLuaTable(L), mDeleted(deleted) {}
    ~CountedTable() override { ++*mDeleted; }
    int* mDeleted;
};

TEST_F(ScriptCoroutine, DeferredTablesGoAtTheNextCallIntoLua)
{
    int deleted = 0;
    auto script = std::make_unique<TScript>();
    lua_State* L = script->GetState();
    script->DoLuaString("kept = {1}");

    lua_getglobal(L, "kept");
    TLuaTable::DeferDelete(new CountedTable(L, &deleted));
    EXPECT_EQ(deleted, 0);
    script->DoLuaString("x = 1");  // runs through RunFunction
    EXPECT_EQ(deleted, 1);

    lua_getglobal(L, "kept");
    TLuaTable::DeferDelete(new CountedTable(L, &deleted));
    StartLog();
    EXPECT_NE(script->Resume(0), 0);  // nothing to resume, but the queue is emptied
    EXPECT_NE(TakeLog().find("lua_resume ERROR: cannot resume dead coroutine"), std::string::npos);
    EXPECT_EQ(deleted, 2);

    lua_getglobal(L, "kept");
    TLuaTable::DeferDelete(new CountedTable(L, &deleted));
    script.reset();
    EXPECT_EQ(deleted, 3);
}

TEST_F(ScriptCoroutine, DeferDeleteWithoutAScriptDeletesAtOnce)
{
    int deleted = 0;
    lua_State* L = lua_open();
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setglobal(L, "kept");
    TLuaTable::DeferDelete(new CountedTable(L, &deleted));
    EXPECT_EQ(deleted, 1);
    lua_getglobal(L, "kept");
    EXPECT_TRUE(lua_istable(L, -1));
    lua_close(L);
}

}  // namespace
