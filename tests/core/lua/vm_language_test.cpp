#include <gtest/gtest.h>

#include "core/lua/vm_test_util.h"

namespace {

class VmLanguage : public ::testing::Test {
 protected:
  void SetUp() override { L = vmtest::OpenState(); }
  void TearDown() override { lua_close(L); }
  std::string Eval(const std::string& code) { return vmtest::Eval(L, code); }
  std::string Run(const std::string& code) { return vmtest::Run(L, code); }
  lua_State* L = nullptr;
};

TEST_F(VmLanguage, ConditionsAndLogic) {
  EXPECT_EQ(Eval("local a = nil return a and 1 or 2"), "2");
  EXPECT_EQ(Eval("local a = 5 return a and 1 or 2"), "1");
  EXPECT_EQ(Eval("return nil or false"), "false");
  EXPECT_EQ(Eval("return false or nil"), "nil");
  EXPECT_EQ(Eval("local x = 3 return x > 2 and x < 5"), "true");
  EXPECT_EQ(Eval("local x = 3 return not (x == 3)"), "false");
  EXPECT_EQ(Eval("local a, b = 1, nil return not (a and b)"), "true");
  EXPECT_EQ(Eval("local a, b = 1, 2 local c = a == 1 and b or 9 return c"), "2");
  EXPECT_EQ(Eval("local t = {} if t then return 'y' else return 'n' end"), "y");
  EXPECT_EQ(Eval("local x = 0 if x > 1 then return 1 elseif x > -1 then return 2 else return 3 end"), "2");
  EXPECT_EQ(Eval("return 1 ~= 2, 3"), "true");
  EXPECT_EQ(Eval("return 'a' < 'b'"), "true");
  EXPECT_EQ(Eval("return 2 >= 3"), "false");
}

TEST_F(VmLanguage, Loops) {
  EXPECT_EQ(Eval("local s = 0 for i = 1, 10 do s = s + i end return s"), "55");
  EXPECT_EQ(Eval("local s = 0 for i = 10, 1, -2 do s = s + i end return s"), "30");
  EXPECT_EQ(Eval("local s, i = 0, 0 while i < 5 do i = i + 1 s = s + i end return s"), "15");
  EXPECT_EQ(Eval("local i = 0 repeat i = i + 1 until i >= 7 return i"), "7");
  EXPECT_EQ(Eval("local i = 0 while true do i = i + 1 if i == 4 then break end end return i"), "4");
  EXPECT_EQ(Eval("local t = {10, 20, 30} local s = 0 for k, v in next, t do s = s + k * v end return s"), "140");
  // the table form of the generic for
  EXPECT_EQ(Eval("local t = {a = 1, b = 2} local s = 0 for k, v in t do s = s + v end return s"), "3");
  EXPECT_EQ(Eval("for i = 1, 3 do end return i"), "nil");
  EXPECT_EQ(Eval("local s = 0 for i = 1, 0 do s = 1 end return s"), "0");
  EXPECT_NE(Run("for i = {}, 1 do end").find("attempt to perform arithmetic"), std::string::npos);
  EXPECT_NE(Run("for i = 1, 'x' do end").find("`for' limit must be a number"), std::string::npos);
}

TEST_F(VmLanguage, TablesAndConstructors) {
  EXPECT_EQ(Eval("local t = {1, 2, 3, x = 'y', [10] = 5} return t[3] + t[10] .. t.x"), "8y");
  EXPECT_EQ(Eval("local t = {} for i = 1, 100 do t[i] = i * 2 end return t[77]"), "154");
  EXPECT_EQ(Eval("local t = {} t[1.5] = 'f' t[-1] = 'm' return t[1.5] .. t[-1]"), "fm");
  EXPECT_EQ(Eval("local function f() return 1, 2, 3 end local t = {f()} return len(t)"), "3");
  EXPECT_EQ(Eval("local function f() return 1, 2, 3 end local t = {f(), f()} return len(t)"), "4");
  EXPECT_EQ(Eval("local function f() return 1, 2, 3 end local t = {(f())} return len(t)"), "1");
  std::string big = "local t = {";
  for (int i = 1; i <= 100; i++) big += std::to_string(i) + ",";
  big += "} return len(t) .. ':' .. t[100]";
  EXPECT_EQ(Eval(big), "100:100");
  EXPECT_EQ(Eval("local t = {} t.a = 1 t.a = nil return next(t)"), "nil");
  EXPECT_NE(Run("local t = {} t[nil] = 1").find("table index is nil"), std::string::npos);
  EXPECT_EQ(Eval("local t = {n = 0} for i = 1, 1000 do t['k' .. i] = i end local c = 0 "
                 "for k, v in next, t do c = c + 1 end return c"),
            "1001");
}

TEST_F(VmLanguage, FunctionsClosuresAndVarargs) {
  EXPECT_EQ(Eval("local function fib(n) if n < 2 then return n end return fib(n-1) + fib(n-2) end return fib(20)"),
            "6765");
  EXPECT_EQ(Eval("local function mk() local c = 0 return function() c = c + 1 return c end end "
                 "local f = mk() f() f() return f()"),
            "3");
  EXPECT_EQ(Eval("local fs = {} for i = 1, 3 do local x = i fs[i] = function() return x end end "
                 "return fs[1]() + fs[2]() * 10 + fs[3]() * 100"),
            "321");
  EXPECT_EQ(Eval("local function f(...) return arg.n end return f(1, nil, 3)"), "3");
  EXPECT_EQ(Eval("local function f(a, ...) return a + arg[1] + arg[2] end return f(1, 2, 3)"), "6");
  EXPECT_EQ(Eval("local function f(a, b) return b end return f(1)"), "nil");
  EXPECT_EQ(Eval("local function f() return 1, 2 end local a, b, c = f() return c"), "nil");
  EXPECT_EQ(Eval("local function f() return 1, 2 end local a, b = f() return a + b"), "3");
  EXPECT_EQ(Eval("local function count(n) if n == 0 then return 'done' end return count(n - 1) end "
                 "return count(100000)"),
            "done");
  EXPECT_EQ(Eval("local o = {v = 4} function o:get(k) return self.v * k end return o:get(3)"), "12");
  EXPECT_EQ(Eval("a = {b = {}} function a.b.c() return 'abc' end return a.b.c()"), "abc");
  EXPECT_EQ(Eval("local a, b = 1, 2 a, b = b, a return a * 10 + b"), "21");
  EXPECT_EQ(Eval("local t = {1, 2} local i = 1 i, t[i] = i + 1, 20 return t[1] * 10 + t[2]"), "202");
}

// Operations whose operands are registers or constants of a known kind take shorter ways; a
// value of another kind must still find the general one (coercion, metamethods, errors).
TEST_F(VmLanguage, OperandsOfAnotherKindTakeTheGeneralWay) {
  const char* mt = "local mt = {__add = function(a, b) return 'add' end, __lt = function(a, b) return true end, "
                   "__le = function(a, b) return false end, __index = function(t, k) return k .. '!' end, "
                   "__newindex = function(t, k, v) stored = v * 2 end} "
                   "local o = setmeta({}, mt) local p = setmeta({}, mt) ";
  const struct {
    const char* code;
    const char* result;
  } cases[] = {
      {"local s = '10' return s + 1, s * 2", "11"},         // string coerced with a number constant
      {"local s, t = '10', '4' return s / t", "2.5"},        // two registers holding strings
      {"return o + 1", "add"},                               // register and number constant
      {"return o + p", "add"},                               // two registers
      {"return o < p", "true"},
      {"return not (o <= p)", "true"},
      {"local s = '1' return s == 1", "false"},              // equal only to a number
      {"local n = 1 return n == 1", "true"},
      {"return o.name", "name!"},                            // string key through __index
      {"local k = 'key' return o[k]", "key!"},
      {"o.x = 21 return stored", "42"},              // string key through __newindex
      {"local v = setmeta({}, {__index = setmeta({}, {__index = {m = function(self) return 'deep' end}})}) "
       "return v:m()", "deep"},
  };
  for (const auto& c : cases) EXPECT_EQ(Eval(std::string(mt) + c.code), c.result) << c.code;
  const struct {
    const char* code;
    const char* error;
  } errors[] = {
      {"local s = 'x' return s < 1", "attempt to compare string with number"},
      {"local s = 'x' return 1 <= s", "attempt to compare number with string"},
      {"local t = {} return t - 1", "attempt to perform arithmetic on local `t' (a table value)"},
  };
  for (const auto& e : errors) EXPECT_NE(Run(e.code).find(e.error), std::string::npos) << e.code << ": " << Run(e.code);
}

// A read by constant name remembers where it found the key; the answer must not depend on
// what the same instruction read before (other tables, a table grown or emptied since).
TEST_F(VmLanguage, ReadsByNameStayRightWhateverTheyReadBefore) {
  EXPECT_EQ(Eval("local function big(extra) local t = {} for i = 1, extra do t['f' .. i] = i end return t end "
                 "local a, b, c = big(20), big(40), big(5) a.name = 'a' b.name = 'b' "
                 "local s = '' for _, t in next, {a, b, c, a} do s = s .. tostr(t.name) end return s"),
            "abnila");
  EXPECT_EQ(Eval("local t = {} for i = 1, 10 do t['k' .. i] = i end local function get() return t.k7 end "
                 "local before = get() for i = 11, 500 do t['k' .. i] = i end t.k7 = 70 "
                 "local grown = get() t.k7 = nil return before .. ':' .. grown .. ':' .. tostr(get())"),
            "7:70:nil");
  EXPECT_EQ(Eval("for i = 1, 40 do setglobal_t = i end gx = 1 local function get() return gx end "
                 "local one = get() gx = nil return one .. tostr(get())"),
            "1nil");
}

TEST_F(VmLanguage, ErrorsNameTheVariable) {
  EXPECT_NE(Run("local x = nil; x()").find("attempt to call local `x' (a nil value)"), std::string::npos);
  EXPECT_NE(Run("undefinedfn()").find("attempt to call global `undefinedfn' (a nil value)"), std::string::npos);
  EXPECT_NE(Run("local t = {} t.a.b = 1").find("attempt to index field `a' (a nil value)"), std::string::npos);
  EXPECT_NE(Run("local x = {} return x + 1").find("attempt to perform arithmetic on local `x' (a table value)"),
            std::string::npos);
  EXPECT_NE(Run("return {} < {}").find("attempt to compare two table values"), std::string::npos);
  EXPECT_NE(Run("return 1 < 'x'").find("attempt to compare number with string"), std::string::npos);
  EXPECT_NE(Run("return 'a' .. {}").find("attempt to concatenate a table value"), std::string::npos);
  EXPECT_EQ(Run("\nerror('boom')"), "boom");
  EXPECT_EQ(Run("local x = nil; x()").rfind("test:1:", 0), 0u);
}

TEST_F(VmLanguage, SyntaxErrors) {
  EXPECT_EQ(vmtest::LoadString(L, "x = = 1"), LUA_ERRSYNTAX);
  EXPECT_STREQ(lua_tostring(L, -1), "test:1: unexpected symbol near `='");
  lua_pop(L, 1);
  EXPECT_EQ(vmtest::LoadString(L, "if x then\n\nx = 1"), LUA_ERRSYNTAX);
  EXPECT_STREQ(lua_tostring(L, -1), "test:3: `end' expected (to close `if' at line 1) near `<eof>'");
  lua_pop(L, 1);
  EXPECT_EQ(vmtest::LoadString(L, "x = 'abc"), LUA_ERRSYNTAX);
  EXPECT_NE(std::string(lua_tostring(L, -1)).find("unfinished string"), std::string::npos);
  lua_pop(L, 1);
  EXPECT_EQ(vmtest::LoadString(L, "break"), LUA_ERRSYNTAX);
  EXPECT_NE(std::string(lua_tostring(L, -1)).find("no loop to break"), std::string::npos);
  lua_pop(L, 1);
  EXPECT_EQ(vmtest::LoadString(L, "return 1 x = 2"), LUA_ERRSYNTAX);
  lua_pop(L, 1);
  EXPECT_EQ(vmtest::LoadString(L, "x = 3x"), LUA_ERRSYNTAX);
  EXPECT_NE(std::string(lua_tostring(L, -1)).find("malformed integer"), std::string::npos);
  lua_pop(L, 1);
  EXPECT_EQ(vmtest::LoadString(L, "x = 3.5x"), LUA_ERRSYNTAX);
  EXPECT_NE(std::string(lua_tostring(L, -1)).find("malformed number"), std::string::npos);
  lua_pop(L, 1);
  std::string deep(300, '(');
  EXPECT_EQ(vmtest::LoadString(L, "x = " + deep), LUA_ERRSYNTAX);
  lua_pop(L, 1);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(VmLanguage, StringsAndLexer) {
  EXPECT_EQ(Eval("return 'a\\tb\\65\\n'"), "a\tbA\n");
  EXPECT_EQ(Eval("return [[\nline1\nline2]]"), "line1\nline2");
  EXPECT_EQ(Eval("return [[a [[nested]] b]]"), "a [[nested]] b");
  EXPECT_EQ(Eval("--[[ long\ncomment ]] return 0x10"), "16");
  EXPECT_EQ(Eval("return 1e2 + .5"), "100.5");
  EXPECT_EQ(Eval("return 10 / 4"), "2.5");
  EXPECT_EQ(Eval("return '2'^10"), "1024");  // through the global __pow
  EXPECT_EQ(Eval("return 2^10"), "8");        // two numbers: exclusive or
  EXPECT_EQ(Eval("return 'x' .. 1.5"), "x1.5");
}

}  // namespace
