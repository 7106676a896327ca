#include <gtest/gtest.h>

#include <cstring>

#include "core/lua/vm_test_util.h"

namespace {

class ApiState : public ::testing::Test {
 protected:
  void SetUp() override { L = vmtest::OpenState(); }
  void TearDown() override { lua_close(L); }
  lua_State* L = nullptr;
};

TEST_F(ApiState, StackManipulation) {
  lua_pushnumber(L, 1);
  lua_pushstring(L, "two");
  lua_pushboolean(L, 1);
  ASSERT_EQ(lua_gettop(L), 3);
  lua_insert(L, 1);  // true, 1, "two"
  EXPECT_EQ(lua_type(L, 1), LUA_TBOOLEAN);
  EXPECT_EQ(lua_tonumber(L, 2), 1);
  lua_remove(L, 2);  // true, "two"
  EXPECT_STREQ(lua_tostring(L, -1), "two");
  lua_pushnil(L);
  lua_replace(L, 1);  // nil, "two"
  EXPECT_TRUE(lua_isnil(L, 1));
  lua_settop(L, 5);
  EXPECT_EQ(lua_gettop(L), 5);
  EXPECT_TRUE(lua_isnil(L, 5));
  EXPECT_EQ(lua_type(L, 6), LUA_TNONE);
  lua_settop(L, 0);
  EXPECT_TRUE(lua_checkstack(L, 5000));
  for (int i = 0; i < 5000; i++) lua_pushnumber(L, i);
  EXPECT_EQ(lua_tonumber(L, -1), 4999);
  lua_settop(L, 0);
}

TEST_F(ApiState, ConversionsInPlace) {
  lua_pushnumber(L, 12.5);
  EXPECT_TRUE(lua_isstring(L, 1));
  EXPECT_STREQ(lua_tostring(L, 1), "12.5");
  EXPECT_EQ(lua_type(L, 1), LUA_TSTRING);  // converted in place
  lua_pushstring(L, "0x10");
  EXPECT_TRUE(lua_isnumber(L, 2));
  EXPECT_EQ(lua_tonumber(L, 2), 16);
  lua_pushstring(L, "12abc");
  EXPECT_FALSE(lua_isnumber(L, 3));
  lua_pushlstring(L, "a\0b", 3);
  EXPECT_EQ(lua_strlen(L, 4), 3u);
  EXPECT_EQ(std::memcmp(lua_tostring(L, 4), "a\0b", 3), 0);
  EXPECT_STREQ(lua_pushfstring(L, "%s=%d (%f)%%", "x", 42, 1.5), "x=42 (1.5)%");
  EXPECT_STREQ(lua_typename(L, LUA_TNONE), "no value");
}

TEST_F(ApiState, RegistryReferencesAndFields) {
  lua_newtable(L);
  lua_pushstring(L, "payload");
  lua_setfield(L, -2, "k");
  lua_pushvalue(L, -1);
  lua_rawseti(L, LUA_REGISTRYINDEX, 77);
  lua_pop(L, 1);
  vmtest::Run(L, "collect()");
  lua_rawgeti(L, LUA_REGISTRYINDEX, 77);
  ASSERT_TRUE(lua_istable(L, -1));
  lua_getfield(L, -1, "k");
  EXPECT_STREQ(lua_tostring(L, -1), "payload");
  lua_settop(L, 0);
  lua_pushnumber(L, 3);
  lua_setglobal(L, "g");
  EXPECT_EQ(vmtest::Eval(L, "return g * 2"), "6");
  lua_getglobal(L, "g");
  EXPECT_EQ(lua_tonumber(L, -1), 3);
  lua_pop(L, 1);
}

TEST_F(ApiState, NextVisitsEveryPair) {
  lua_newtable(L);
  for (int i = 1; i <= 50; i++) {
    lua_pushnumber(L, i);
    lua_pushnumber(L, i * 10);
    lua_settable(L, 1);
  }
  lua_pushstring(L, "x");
  lua_pushboolean(L, 1);
  lua_rawset(L, 1);
  double sum = 0;
  int count = 0;
  lua_pushnil(L);
  while (lua_next(L, 1)) {
    if (lua_type(L, -2) == LUA_TNUMBER) sum += lua_tonumber(L, -1);
    count++;
    lua_pop(L, 1);
  }
  EXPECT_EQ(count, 51);
  EXPECT_EQ(sum, 12750);
  EXPECT_EQ(lua_gettop(L), 1);
}

struct Box {
  int* destroyed;
};

int BoxGc(lua_State* L) {
  Box* b = static_cast<Box*>(lua_touserdata(L, 1));
  (*b->destroyed)++;
  return 0;
}

int BoxIndex(lua_State* L) {
  lua_pushstring(L, "from index: ");
  lua_pushvalue(L, 2);
  lua_concat(L, 2);
  return 1;
}

TEST_F(ApiState, UserdataWithMetatableAndGc) {
  int destroyed = 0;
  Box* b = static_cast<Box*>(lua_newuserdata(L, sizeof(Box)));
  b->destroyed = &destroyed;
  lua_newtable(L);
  lua_pushcfunction(L, BoxGc);
  lua_setfield(L, -2, "__gc");
  lua_pushcfunction(L, BoxIndex);
  lua_setfield(L, -2, "__index");
  EXPECT_EQ(lua_setmetatable(L, -2), 1);
  lua_setglobal(L, "box");
  EXPECT_EQ(vmtest::Eval(L, "return box.name"), "from index: name");
  EXPECT_EQ(vmtest::Eval(L, "return getmeta(box) ~= nil"), "true");
  vmtest::Run(L, "collect()");
  EXPECT_EQ(destroyed, 0);
  vmtest::Run(L, "box = nil collect()");
  EXPECT_EQ(destroyed, 1);
  vmtest::Run(L, "collect()");
  EXPECT_EQ(destroyed, 1);  // finalised once
  void* p = &destroyed;
  lua_pushlightuserdata(L, p);
  EXPECT_EQ(lua_touserdata(L, -1), p);
  lua_newtable(L);
  EXPECT_EQ(lua_setmetatable(L, -2), 0);  // a light userdata takes no metatable
  lua_pop(L, 1);
}

TEST_F(ApiState, CloseFinalisesRemainingUserdata) {
  int destroyed = 0;
  lua_State* L2 = lua_open();
  Box* b = static_cast<Box*>(lua_newuserdata(L2, sizeof(Box)));
  b->destroyed = &destroyed;
  lua_newtable(L2);
  lua_pushcfunction(L2, BoxGc);
  lua_setfield(L2, -2, "__gc");
  lua_setmetatable(L2, -2);
  lua_close(L2);
  EXPECT_EQ(destroyed, 1);
}

int Adder(lua_State* L) {
  lua_pushnumber(L, lua_tonumber(L, lua_upvalueindex(1)) + lua_tonumber(L, 1));
  lua_pushvalue(L, -1);
  lua_replace(L, lua_upvalueindex(1));
  return 1;
}

TEST_F(ApiState, CClosuresKeepUpvalues) {
  lua_pushnumber(L, 100);
  lua_pushcclosure(L, Adder, 1);
  lua_setglobal(L, "acc");
  EXPECT_EQ(vmtest::Eval(L, "acc(1) acc(2) return acc(3)"), "106");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ApiState, PcallCatchesErrorsWithHandler) {
  ASSERT_EQ(vmtest::LoadString(L, "local t = nil return t.x"), 0);
  EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(L, -1), "test:1: attempt to index local `t' (a nil value)");
  lua_settop(L, 0);
  lua_pushcfunction(L, [](lua_State* L1) -> int {
    lua_pushstring(L1, "handled: ");
    lua_insert(L1, 1);
    lua_concat(L1, 2);
    return 1;
  });
  ASSERT_EQ(vmtest::LoadString(L, "error('deep')"), 0);
  EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(L, -1), "handled: deep");
  lua_settop(L, 0);
  // non-string error values travel unchanged
  ASSERT_EQ(vmtest::LoadString(L, "error({code = 7})"), 0);
  EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
  lua_getfield(L, -1, "code");
  EXPECT_EQ(lua_tonumber(L, -1), 7);
  lua_settop(L, 0);
  // a failing handler gives the error-in-error status
  lua_pushcfunction(L, [](lua_State* L1) -> int { return lua_error(L1); });
  ASSERT_EQ(vmtest::LoadString(L, "error('x')"), 0);
  EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRERR);
  lua_settop(L, 0);
  int seen = 0;
  EXPECT_EQ(lua_cpcall(L, [](lua_State* L1) -> int {
              *static_cast<int*>(lua_touserdata(L1, 1)) = 5;
              lua_pushstring(L1, "cp");
              return lua_error(L1);
            }, &seen),
            LUA_ERRRUN);
  EXPECT_EQ(seen, 5);
  EXPECT_STREQ(lua_tostring(L, -1), "cp");
  lua_settop(L, 0);
  EXPECT_EQ(vmtest::Run(L, "local function r() return r() + 1 end r()").find("stack overflow") != std::string::npos,
            true);
}

TEST_F(ApiState, MetamethodsFromScript) {
  const char* setup =
      "V = {} "
      "V.__add = function(a, b) return setmeta({x = a.x + b.x}, V) end "
      "V.__eq = function(a, b) return a.x == b.x end "
      "V.__lt = function(a, b) return a.x < b.x end "
      "V.__le = function(a, b) return a.x <= b.x end "
      "V.__concat = function(a, b) return 'cat' end "
      "V.__call = function(self, y) return self.x * y end "
      "V.__unm = function(a) return -a.x end "
      "V.__index = function(t, k) return k .. '!' end "
      "function v(x) return setmeta({x = x}, V) end";
  ASSERT_EQ(vmtest::Run(L, setup), "");
  EXPECT_EQ(vmtest::Eval(L, "return (v(1) + v(2)).x"), "3");
  EXPECT_EQ(vmtest::Eval(L, "return v(1) == v(1)"), "true");
  EXPECT_EQ(vmtest::Eval(L, "return v(1) < v(2)"), "true");
  EXPECT_EQ(vmtest::Eval(L, "return v(3) >= v(2)"), "true");
  EXPECT_EQ(vmtest::Eval(L, "return v(1) .. 'x'"), "cat");
  EXPECT_EQ(vmtest::Eval(L, "return v(6)(7)"), "42");
  EXPECT_EQ(vmtest::Eval(L, "return -v(4)"), "-4");
  EXPECT_EQ(vmtest::Eval(L, "return v(4).zz"), "zz!");
  EXPECT_EQ(vmtest::Eval(L, "local log = {} local t = setmeta({}, {__newindex = function(t, k, v) log[1] = k end}) "
                            "t.a = 1 return log[1] .. tostr(rawget)"),
            "anil");
  EXPECT_EQ(vmtest::Eval(L, "local base = {y = 5} local t = setmeta({}, {__index = base}) return t.y"), "5");
}

TEST_F(ApiState, FunctionEnvironments) {
  ASSERT_EQ(vmtest::LoadString(L, "return who"), 0);
  lua_newtable(L);
  lua_pushstring(L, "private");
  lua_setfield(L, -2, "who");
  EXPECT_EQ(lua_setfenv(L, -2), 1);
  ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
  EXPECT_STREQ(lua_tostring(L, -1), "private");
  lua_pop(L, 1);
  lua_pushcfunction(L, Adder);
  lua_newtable(L);
  EXPECT_EQ(lua_setfenv(L, -2), 0);  // only script functions take an environment
  lua_pop(L, 1);
}

}  // namespace
