// Auxiliary library through the C API: buffers, references, sizes, checks and loading.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "lib_runner.h"

using tv_lua_test::LibState;

namespace {

TEST(LibAuxBuffer, BuildsLongStringsFromMixedPieces) {
  LibState s;
  lua_State* L = s.get();
  lua_pushliteral(L, "sentinel");
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  std::string expected;
  for (int i = 0; i < 20000; i++) {
    char c = static_cast<char>('a' + i % 26);
    luaL_putchar(&b, c);
    expected += c;
    if (i % 97 == 0) {
      std::string chunk(static_cast<size_t>(i % 3000), 'x');
      luaL_addlstring(&b, chunk.data(), chunk.size());
      expected += chunk;
    }
    if (i % 1001 == 0) {
      std::string big(LUAL_BUFFERSIZE + 17, static_cast<char>('A' + i % 26));
      lua_pushlstring(L, big.data(), big.size());
      luaL_addvalue(&b);  // longer than the buffer: goes on the stack as a piece
      expected += big;
      lua_pushnumber(L, i);
      luaL_addvalue(&b);
      expected += std::to_string(i);
    }
  }
  luaL_pushresult(&b);
  ASSERT_EQ(lua_gettop(L), 2);  // the sentinel and the result: every piece was merged
  ASSERT_EQ(lua_strlen(L, -1), expected.size());
  EXPECT_EQ(std::string(lua_tostring(L, -1), lua_strlen(L, -1)), expected);
  EXPECT_STREQ(lua_tostring(L, 1), "sentinel");
}

TEST(LibAuxBuffer, EmptyBufferGivesEmptyString) {
  LibState s;
  lua_State* L = s.get();
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  luaL_addstring(&b, "");
  luaL_pushresult(&b);
  ASSERT_EQ(lua_gettop(L), 1);
  EXPECT_EQ(lua_strlen(L, 1), 0u);
}

TEST(LibAuxRef, ReusesFreedSlotsAndKeepsValues) {
  LibState s;
  lua_State* L = s.get();
  lua_newtable(L);
  int t = lua_gettop(L);
  int refs[3];
  for (int i = 0; i < 3; i++) {
    lua_pushnumber(L, 100 + i);
    refs[i] = luaL_ref(L, t);
    EXPECT_GT(refs[i], 0);
  }
  EXPECT_NE(refs[0], refs[1]);
  EXPECT_NE(refs[1], refs[2]);
  luaL_unref(L, t, refs[1]);
  lua_pushliteral(L, "again");
  int reused = luaL_ref(L, t);
  EXPECT_EQ(reused, refs[1]);
  lua_rawgeti(L, t, reused);
  EXPECT_STREQ(lua_tostring(L, -1), "again");
  lua_rawgeti(L, t, refs[2]);
  EXPECT_EQ(lua_tonumber(L, -1), 102);
  lua_settop(L, t);
  lua_pushnil(L);
  EXPECT_EQ(luaL_ref(L, t), LUA_REFNIL);
  EXPECT_EQ(lua_gettop(L), t);
  luaL_unref(L, t, LUA_NOREF);  // harmless
  luaL_unref(L, t, LUA_REFNIL);
  lua_pushliteral(L, "next");
  EXPECT_EQ(luaL_ref(L, t), 4);
}

TEST(LibAuxGetn, FieldNThenSetSizeThenCount) {
  LibState s;
  lua_State* L = s.get();
  lua_newtable(L);
  for (int i = 1; i <= 3; i++) {
    lua_pushnumber(L, i);
    lua_rawseti(L, 1, i);
  }
  lua_pushnumber(L, 9);
  lua_rawseti(L, 1, 5);  // after a hole: not counted
  EXPECT_EQ(luaL_getn(L, 1), 3);
  luaL_setn(L, 1, 7);
  EXPECT_EQ(luaL_getn(L, 1), 7);
  lua_pushliteral(L, "n");
  lua_rawget(L, 1);
  EXPECT_TRUE(lua_isnil(L, -1)) << "setn must not add a field n";
  lua_pop(L, 1);
  lua_pushliteral(L, "n");
  lua_pushnumber(L, 2);
  lua_rawset(L, 1);
  EXPECT_EQ(luaL_getn(L, -1), 2);  // the field wins over the recorded size
  luaL_setn(L, 1, 4);
  lua_pushliteral(L, "n");
  lua_rawget(L, 1);
  EXPECT_EQ(lua_tonumber(L, -1), 4);
  lua_pop(L, 1);
  lua_pushliteral(L, "n");
  lua_pushnumber(L, -5);
  lua_rawset(L, 1);
  EXPECT_EQ(luaL_getn(L, 1), 7) << "a negative n is not a size";
  EXPECT_EQ(lua_gettop(L), 1);
}

TEST(LibAuxUserdata, CheckudataMatchesOnlyItsOwnMetatable) {
  LibState s;
  lua_State* L = s.get();
  EXPECT_EQ(luaL_newmetatable(L, "Widget"), 1);
  EXPECT_EQ(luaL_newmetatable(L, "Widget"), 0);
  EXPECT_TRUE(lua_rawequal(L, -1, -2));
  lua_settop(L, 0);
  luaL_newmetatable(L, "Other");
  lua_pop(L, 1);
  void* w = lua_newuserdata(L, 8);
  luaL_getmetatable(L, "Widget");
  lua_setmetatable(L, -2);
  lua_newuserdata(L, 8);
  luaL_getmetatable(L, "Other");
  lua_setmetatable(L, -2);
  lua_newuserdata(L, 8);  // no metatable
  lua_pushnumber(L, 1);
  EXPECT_EQ(luaL_checkudata(L, 1, "Widget"), w);
  EXPECT_EQ(luaL_checkudata(L, 2, "Widget"), nullptr);
  EXPECT_EQ(luaL_checkudata(L, -2, "Widget"), nullptr);
  EXPECT_EQ(luaL_checkudata(L, 4, "Widget"), nullptr);
  EXPECT_EQ(lua_gettop(L), 4);
}

int NeedsNumber(lua_State* L) {
  lua_pushnumber(L, luaL_checknumber(L, 1) + luaL_optnumber(L, 2, 10));
  return 1;
}

int Upvalued(lua_State* L) {
  lua_pushvalue(L, lua_upvalueindex(1));
  return 1;
}

TEST(LibAuxErrors, ArgumentErrorsNameTheFunction) {
  LibState s;
  lua_State* L = s.get();
  lua_register(L, "needsnum", NeedsNumber);
  EXPECT_EQ(s.Run("return needsnum(1)"), "11");
  EXPECT_EQ(s.Run("return needsnum('2', '3')"), "5");
  EXPECT_EQ(s.Run("return needsnum('x')"),
            "error: test:1: bad argument #1 to `needsnum' (number expected, got string)");
  EXPECT_EQ(s.Run("return needsnum()"),
            "error: test:1: bad argument #1 to `needsnum' (number expected, got no value)");
  EXPECT_EQ(s.Run("local t = {f = needsnum} return t:f()"),
            "error: test:1: calling `f' on bad self (number expected, got table)");
}

// Called from C the call site gives no name: the function is looked up among the globals.
TEST(LibAuxErrors, FunctionsCalledFromCAreNamedFromTheGlobals) {
  LibState s;
  lua_State* L = s.get();
  lua_register(L, "needsnum", NeedsNumber);
  struct Case {
    const char* code;
    const char* message;
  } cases[] = {
      {"local ok, e = pcall(needsnum, 'x') return e",
       "bad argument #1 to `needsnum' (number expected, got string)"},
      {"local ok, e = pcall(string.rep) return e",
       "bad argument #1 to `?' (string expected, got no value)"},
      {"local f = needsnum needsnum = nil local ok, e = pcall(f) needsnum = f return e",
       "bad argument #1 to `?' (number expected, got no value)"},
      {"tinsert = table.insert local ok, e = pcall(tinsert, 1, 2) return e",
       "bad argument #1 to `tinsert' (table expected, got number)"},
  };
  for (const Case& c : cases) EXPECT_EQ(s.Run(c.code), c.message) << c.code;
  lua_getglobal(L, "needsnum");
  lua_pushliteral(L, "y");
  ASSERT_NE(lua_pcall(L, 1, 1, 0), 0);
  EXPECT_STREQ(lua_tostring(L, -1), "bad argument #1 to `needsnum' (number expected, got string)");
  lua_pop(L, 1);
}

TEST(LibAuxOpenlib, SharesUpvaluesAndReusesExistingTable) {
  LibState s;
  lua_State* L = s.get();
  const luaL_reg funcs[] = {{"a", Upvalued}, {"b", Upvalued}, {nullptr, nullptr}};
  lua_pushliteral(L, "shared");
  luaL_openlib(L, "mylib", funcs, 1);
  EXPECT_EQ(lua_gettop(L), 1);
  EXPECT_TRUE(lua_istable(L, 1));
  EXPECT_EQ(s.Run("return mylib.a() .. mylib.b()"), "sharedshared");
  const luaL_reg more[] = {{"c", NeedsNumber}, {nullptr, nullptr}};
  luaL_openlib(L, "mylib", more, 0);
  EXPECT_EQ(s.Run("return type(mylib.a) .. mylib.c(1, 1)"), "function2");
}

TEST(LibAuxMeta, CallmetaAndGetmetafield) {
  LibState s;
  lua_State* L = s.get();
  s.Run("obj = setmetatable({}, {__tostring = function(o) return 'I am obj' end, tag = 5})");
  lua_getglobal(L, "obj");
  ASSERT_EQ(luaL_callmeta(L, 1, "__tostring"), 1);
  EXPECT_STREQ(lua_tostring(L, -1), "I am obj");
  EXPECT_EQ(luaL_callmeta(L, 1, "__missing"), 0);
  ASSERT_EQ(luaL_getmetafield(L, 1, "tag"), 1);
  EXPECT_EQ(lua_tonumber(L, -1), 5);
  lua_pushnumber(L, 3);
  EXPECT_EQ(luaL_getmetafield(L, -1, "tag"), 0);
  EXPECT_EQ(lua_gettop(L), 4);
}

TEST(LibAuxMisc, FindstringAndOptionalArguments) {
  const char* const list[] = {"set", "cur", "end", nullptr};
  EXPECT_EQ(luaL_findstring("cur", list), 1);
  EXPECT_EQ(luaL_findstring("nope", list), -1);
  LibState s;
  lua_State* L = s.get();
  size_t len = 99;
  EXPECT_STREQ(luaL_optlstring(L, 1, "dflt", &len), "dflt");
  EXPECT_EQ(len, 4u);
  EXPECT_EQ(luaL_optlstring(L, 1, nullptr, &len), nullptr);
  EXPECT_EQ(len, 0u);
  EXPECT_EQ(luaL_optint(L, 2, 7), 7);
  lua_pushnumber(L, 1e300);
  EXPECT_EQ(luaL_checkint(L, 1), 2147483647) << "out-of-range numbers saturate";
}

TEST(LibAuxLoad, BufferAndFileStatuses) {
  LibState s;
  lua_State* L = s.get();
  EXPECT_EQ(luaL_loadbuffer(L, "return 1 +", 10, "=frag"), LUA_ERRSYNTAX);
  EXPECT_EQ(std::string(lua_tostring(L, -1)).rfind("frag:1:", 0), 0u) << lua_tostring(L, -1);
  lua_settop(L, 0);
  EXPECT_EQ(luaL_loadfile(L, "/nonexistent/dir/file.lua"), LUA_ERRFILE);
  EXPECT_NE(std::string(lua_tostring(L, -1)).find("/nonexistent/dir/file.lua"), std::string::npos);
  lua_settop(L, 0);

  auto dir = std::filesystem::temp_directory_path() / ("lib_aux_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto script = dir / "shebang.lua";
  std::ofstream(script) << "#!/usr/bin/env vlua\nlocal x = 1\nerror('line three')\n";
  ASSERT_EQ(luaL_loadfile(L, script.string().c_str()), 0);
  ASSERT_NE(lua_pcall(L, 0, 0, 0), 0);
  std::string m = lua_tostring(L, -1);
  EXPECT_NE(m.find("shebang.lua:3: line three"), std::string::npos) << m;
  std::filesystem::remove_all(dir);
}

TEST(LibAuxDo, DostringReportsThroughAlert) {
  LibState s;
  lua_State* L = s.get();
  s.Run("alerts = {} function _ALERT(m) table.insert(alerts, m) end");
  EXPECT_EQ(lua_dostring(L, "ok_value = 5"), 0);
  EXPECT_NE(lua_dostring(L, "error('bad thing')"), 0);
  EXPECT_NE(lua_dostring(L, "this is not lua"), 0);
  EXPECT_EQ(lua_gettop(L), 0);
  EXPECT_EQ(s.Run("return ok_value .. ' ' .. table.getn(alerts)"), "5 2");
  EXPECT_EQ(s.Run("return string.find(alerts[1], 'bad thing', 1, true) ~= nil"), "true");
  EXPECT_EQ(lua_dobuffer(L, "return 1, 2", 11, "=buf"), 0);
  EXPECT_EQ(lua_gettop(L), 2) << "results stay on the stack";
}

}  // namespace
