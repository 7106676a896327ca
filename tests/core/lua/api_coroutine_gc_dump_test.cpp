#include <gtest/gtest.h>

#include "core/lua/vm_test_util.h"

namespace {

class ApiCoroutine : public ::testing::Test {
 protected:
  void SetUp() override { L = vmtest::OpenState(); }
  void TearDown() override { lua_close(L); }
  lua_State* L = nullptr;
};

TEST_F(ApiCoroutine, ResumedFromCAcrossNestedScriptCalls) {
  lua_State* co = lua_newthread(L);
  ASSERT_EQ(vmtest::LoadString(co, "local function inner(x) local y = yield(x + 1) return y * 2 end "
                                   "local a = inner(10) local b = yield(a) return a + b, 'end'"),
            0);
  ASSERT_EQ(lua_resume(co, 0), 0);
  ASSERT_EQ(lua_gettop(co), 1);
  EXPECT_EQ(lua_tonumber(co, 1), 11);
  lua_settop(co, 0);
  lua_pushnumber(co, 5);
  ASSERT_EQ(lua_resume(co, 1), 0);
  EXPECT_EQ(lua_tonumber(co, 1), 10);  // inner returned 5 * 2
  lua_settop(co, 0);
  lua_pushnumber(co, 1);
  ASSERT_EQ(lua_resume(co, 1), 0);
  ASSERT_EQ(lua_gettop(co), 2);
  EXPECT_EQ(lua_tonumber(co, 1), 11);
  EXPECT_STREQ(lua_tostring(co, 2), "end");
  lua_settop(co, 0);
  EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(co, -1), "cannot resume dead coroutine");
}

TEST_F(ApiCoroutine, ErrorsKillTheCoroutineAndYieldAcrossCIsRefused) {
  lua_State* co = lua_newthread(L);
  ASSERT_EQ(vmtest::LoadString(co, "yield(1) error('inside')"), 0);
  ASSERT_EQ(lua_resume(co, 0), 0);
  lua_settop(co, 0);
  EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(co, -1), "inside");
  lua_settop(co, 0);
  lua_State* co2 = lua_newthread(L);
  // a metamethod is a C-level call: yielding inside it is refused
  ASSERT_EQ(vmtest::LoadString(co2, "local t = setmeta({}, {__index = function() yield(1) end}) return t.x"), 0);
  EXPECT_EQ(lua_resume(co2, 0), LUA_ERRRUN);
  EXPECT_NE(std::string(lua_tostring(co2, -1)).find("attempt to yield across"), std::string::npos);
}

TEST_F(ApiCoroutine, AFailedStateIsDeadUntilANewFunctionIsSetUp) {
  ASSERT_EQ(vmtest::LoadString(L, "error('first')"), 0);
  EXPECT_EQ(lua_resume(L, 0), LUA_ERRRUN);
  EXPECT_TRUE(lua_diedinerror(L));
  lua_settop(L, 0);
  EXPECT_EQ(lua_resume(L, 0), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(L, -1), "cannot resume dead coroutine");
  lua_settop(L, 0);
  // the host reuses its state for the next script
  ASSERT_EQ(vmtest::LoadString(L, "yield(21) return 42"), 0);
  ASSERT_EQ(lua_resume(L, 0), 0);
  EXPECT_FALSE(lua_diedinerror(L));
  EXPECT_EQ(lua_tonumber(L, -1), 21);
}

TEST_F(ApiCoroutine, MainStateCanBeResumedAndCalledWhileSuspended) {
  ASSERT_EQ(vmtest::LoadString(L, "local n = 0 while true do n = n + 1 yield(n) end"), 0);
  ASSERT_EQ(lua_resume(L, 0), 0);
  EXPECT_EQ(lua_tonumber(L, -1), 1);
  lua_pop(L, 1);
  // the host runs other code on the suspended state
  EXPECT_EQ(vmtest::Eval(L, "return 2 + 2"), "4");
  ASSERT_EQ(lua_resume(L, 0), 0);
  EXPECT_EQ(lua_tonumber(L, -1), 2);
}

TEST(ApiGc, WeakTablesLoseUnreachedEntries) {
  lua_State* L = vmtest::OpenState();
  ASSERT_EQ(vmtest::Run(L, "wk = setmeta({}, {__mode = 'k'}) wv = setmeta({}, {__mode = 'v'}) keep = {} "
                           "for i = 1, 10 do local k = {} wk[k] = i wv[i] = {} if i <= 3 then keep[i] = k end end "
                           "wv[20] = keep wv[21] = 'str'"),
            "");
  ASSERT_EQ(vmtest::Run(L, "collect()"), "");
  EXPECT_EQ(vmtest::Eval(L, "local n = 0 for k in next, wk do n = n + 1 end return n"), "3");
  EXPECT_EQ(vmtest::Eval(L, "local n = 0 for k in next, wv do n = n + 1 end return n"), "2");
  EXPECT_EQ(vmtest::Eval(L, "return wv[21]"), "str");
  lua_close(L);
}

TEST(ApiGc, ThresholdAndCountTrackMemory) {
  lua_State* L = vmtest::OpenState();
  int before = lua_getgccount(L);
  ASSERT_EQ(vmtest::Run(L, "big = {} for i = 1, 20000 do big[i] = {i} end"), "");
  int grown = lua_getgccount(L);
  EXPECT_GT(grown, before + 500);
  ASSERT_EQ(vmtest::Run(L, "big = nil"), "");
  lua_setgcthreshold(L, 0);
  EXPECT_LT(lua_getgccount(L), grown / 2);
  EXPECT_GE(lua_getgcthreshold(L), lua_getgccount(L));
  // a long-running allocation loop stays bounded
  ASSERT_EQ(vmtest::Run(L, "for i = 1, 200000 do local t = {i, tostr(i)} end"), "");
  EXPECT_LT(lua_getgccount(L), grown);
  lua_close(L);
}

// Finalizers run one after another on the collecting thread: one that grows the stack moves
// it, and the next, and the caller, still find the stack where it now is.
TEST(ApiGc, FinalizersThatGrowTheStackLeaveItWhole) {
  lua_State* L = vmtest::OpenState();
  static int ran;
  ran = 0;
  lua_pushstring(L, "kept");
  for (int i = 0; i < 3; ++i) {
    lua_newuserdata(L, 8);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, [](lua_State* L1) {
      ++ran;
      lua_checkstack(L1, 4000 * ran);
      return 0;
    });
    lua_settable(L, -3);
    lua_setmetatable(L, -2);
    lua_pop(L, 1);
  }
  lua_setgcthreshold(L, 0);
  EXPECT_EQ(ran, 3);
  ASSERT_EQ(lua_gettop(L), 1);
  EXPECT_STREQ(lua_tostring(L, 1), "kept");
  lua_close(L);
}

// Hooks stay out of finalizers unless they ask to be let in; one let in can stop a finalizer
// that never returns, and the collection and the code after it go on, hooked as before.
TEST(ApiGc, OnlyHooksThatAskForItRunInsideFinalizers) {
  const struct {
    int mask;
    const char* loop;
    bool inside;
  } cases[] = {
      {LUA_MASKCOUNT, "for i = 1, 20000 do end", false},
      {LUA_MASKCOUNT | LUA_MASKGC, "while true do end", true},
  };
  static int inside, outside;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    lua_State* L = vmtest::OpenState();
    ASSERT_EQ(vmtest::Run(L, std::string("fin = function() finalizing = true ") + c.loop + " finalizing = nil end"), "");
    lua_newuserdata(L, 8);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_getglobal(L, "fin");
    lua_settable(L, -3);
    lua_setmetatable(L, -2);
    lua_pop(L, 1);
    inside = outside = 0;
    lua_sethook(L, [](lua_State* L1, lua_Debug*) {
      lua_getglobal(L1, "finalizing");
      const bool in = lua_toboolean(L1, -1);
      lua_pop(L1, 1);
      ++(in ? inside : outside);
      if (in) {
        lua_pushnil(L1);
        lua_setglobal(L1, "finalizing");
        lua_pushstring(L1, "stopped");
        lua_error(L1);
      }
    }, c.mask, 100);
    EXPECT_EQ(vmtest::Eval(L, "collect() for i = 1, 2000 do end return 'went on'"), "went on");
    lua_sethook(L, nullptr, 0, 0);
    EXPECT_EQ(inside, c.inside ? 1 : 0);
    EXPECT_GT(outside, 0);
    lua_close(L);
  }
}

// Loops whose only garbage comes from calls still collect it: the peak, not the end, counts.
TEST(ApiGc, GarbageMadeByCallsIsCollected) {
  const char* const calls[] = {
      "local function f(...) return arg end",
      "local function f(a, ...) return a end",
  };
  for (const char* call : calls) {
    lua_State* L = vmtest::OpenState();
    lua_register(L, "gccount", [](lua_State* L1) {
      lua_pushnumber(L1, lua_getgccount(L1));
      return 1;
    });
    std::string loop = std::string(call) +
                       " local peak = 0 for i = 1, 200000 do f(i, i, i) "
                       "local c = gccount() if c > peak then peak = c end end return peak";
    EXPECT_LT(std::stoi(vmtest::Eval(L, loop)), 4096) << call;
    lua_close(L);
  }
}

TEST(ApiDump, DumpAndReloadRunsTheSame) {
  lua_State* L = vmtest::OpenState();
  const char* code =
      "local function fact(n) if n <= 1 then return 1 end return n * fact(n - 1) end "
      "local s = '' for k, v in next, {10, 20, 30} do s = s .. v end "
      "return fact(10) .. ':' .. s .. ':' .. tostr(nil)";
  ASSERT_EQ(vmtest::LoadString(L, code), 0);
  std::string chunk = vmtest::Dump(L);
  lua_pop(L, 1);
  ASSERT_GT(chunk.size(), 20u);
  EXPECT_EQ(chunk.substr(0, 4), "\033Lua");
  ASSERT_EQ(vmtest::LoadString(L, chunk, "=dumped"), 0);
  ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
  EXPECT_STREQ(lua_tostring(L, -1), "3628800:102030:nil");
  lua_pop(L, 1);
  // dump of the reloaded function is byte-identical
  ASSERT_EQ(vmtest::LoadString(L, chunk, "=dumped"), 0);
  EXPECT_EQ(vmtest::Dump(L), chunk);
  lua_close(L);
}

TEST(ApiDump, DamagedChunksAreErrorsNotCrashes) {
  lua_State* L = vmtest::OpenState();
  ASSERT_EQ(vmtest::LoadString(L, "local a, b = 1, 2 local t = {a, b, x = 'y'} "
                                  "for i = 1, 3 do a = a + i end return a .. t.x"),
            0);
  std::string chunk = vmtest::Dump(L);
  lua_pop(L, 1);
  // truncated at every length
  for (size_t len = 1; len < chunk.size(); len++) {
    EXPECT_NE(vmtest::LoadString(L, chunk.substr(0, len), "=cut"), 0) << len;
    lua_settop(L, 0);
  }
  // every byte flipped: loading either fails or yields a function that runs or errors safely;
  // a count hook stops damaged jumps that loop for ever
  lua_sethook(L, [](lua_State* L1, lua_Debug*) {
    lua_pushstring(L1, "too long");
    lua_error(L1);
  }, LUA_MASKCOUNT, 100000);
  int rejected = 0;
  for (size_t pos = 4; pos < chunk.size(); pos++) {
    for (int bit : {0x01, 0x20, 0x80}) {
      std::string bad = chunk;
      bad[pos] = static_cast<char>(bad[pos] ^ bit);
      if (vmtest::LoadString(L, bad, "=bad") == 0)
        lua_pcall(L, 0, 0, 0);
      else
        rejected++;
      lua_settop(L, 0);
    }
  }
  EXPECT_GT(rejected, 0);
  // a wrong constant tag is named in the message
  std::string header(chunk.substr(0, 22));
  ASSERT_EQ(vmtest::LoadString(L, chunk.substr(0, 4) + std::string(1, '\x51') + chunk.substr(5), "=v"), LUA_ERRSYNTAX);
  EXPECT_NE(std::string(lua_tostring(L, -1)).find("bad version"), std::string::npos);
  lua_close(L);
}

TEST(ApiDebug, StackInfoAndHooks) {
  lua_State* L = vmtest::OpenState();
  lua_register(L, "where", [](lua_State* L1) -> int {
    lua_Debug ar;
    if (!lua_getstack(L1, 1, &ar)) return 0;
    lua_getinfo(L1, "Sln", &ar);
    lua_pushfstring(L1, "%s:%d:%s", ar.short_src, ar.currentline, ar.name ? ar.name : "?");
    return 1;
  });
  EXPECT_EQ(vmtest::Eval(L, "function named()\n return where()\nend\nlocal r = named() return r"), "test:2:named");
  static int lines = 0;
  lines = 0;
  lua_sethook(L, [](lua_State*, lua_Debug* ar) {
    if (ar->event == LUA_HOOKLINE) lines++;
  }, LUA_MASKLINE, 0);
  EXPECT_EQ(vmtest::Run(L, "local a = 1\nlocal b = 2\nlocal c = 3"), "");
  lua_sethook(L, nullptr, 0, 0);
  EXPECT_EQ(lines, 3);
  lua_close(L);
}

}  // namespace
