// The engine's language additions: bitwise operators, the changed `^', continue and numbered
// loop exits, hexadecimal literals and escapes, wide literals and UTF-16 chunks.
#include <gtest/gtest.h>

#include <string>

#include "core/lua/lib_runner.h"

namespace {

using tv_lua_test::LibState;

bool Contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

TEST(DialectOperators, BitwiseResultsShiftCountsAndSaturation) {
  LibState s;
  EXPECT_EQ(s.Run("return 5 & 3"), "1");
  EXPECT_EQ(s.Run("return 5 | 3"), "7");
  EXPECT_EQ(s.Run("return 2 ^ 3"), "1");
  EXPECT_EQ(s.Run("return 6 ^ 6"), "0");
  EXPECT_EQ(s.Run("return 1 << 31"), "2147483648");
  EXPECT_EQ(s.Run("return 1 << 32"), "1");
  EXPECT_EQ(s.Run("return 1 << 33"), "2");
  EXPECT_EQ(s.Run("return 3 << 31"), "2147483648") << "bits past 31 are lost";
  EXPECT_EQ(s.Run("return 240 >> 4"), "15");
  EXPECT_EQ(s.Run("return 4294967295 >> 31"), "1") << "logical shift";
  EXPECT_EQ(s.Run("return -1 & 255"), "0");
  EXPECT_EQ(s.Run("return 5000000000 | 0"), "4294967295");
  EXPECT_EQ(s.Run("return 3.9 & 7"), "3");
  EXPECT_EQ(s.Run("return (0/0) | 5"), "5") << "NaN converts to 0";
  EXPECT_EQ(s.Run("return (1/0) & 1"), "1");
  EXPECT_EQ(s.Run("return (-1/0) | 0"), "0");
  EXPECT_EQ(s.Run("return 1 << (1/0)"), "2147483648") << "an infinite count saturates, then modulo 32";
  EXPECT_EQ(s.Run("return 1e300 ^ 0"), "4294967295");
}

TEST(DialectOperators, Precedence) {
  LibState s;
  EXPECT_EQ(s.Run("return 1 + 2 & 3"), "3");
  EXPECT_EQ(s.Run("return 2 * 3 & 1"), "2");
  EXPECT_EQ(s.Run("return -2 & 3"), "0");
  EXPECT_EQ(s.Run("return 1 | 2 & 3"), "3") << "left-associative among themselves";
  EXPECT_EQ(s.Run("return 2 ^ 3 & 1"), "1");
  EXPECT_EQ(s.Run("return 1 << 2 << 3"), "32");
  EXPECT_EQ(s.Run("return 2 ^ 3 ^ 1"), "0") << "^ stays right-associative: 2 ^ (3 ^ 1)";
  EXPECT_EQ(s.Run("return 1 .. 2 & 3"), "12");
  EXPECT_EQ(s.Run("return 7 & 3 == 3"), "true");
}

TEST(DialectOperators, OperandTypes) {
  LibState s;
  EXPECT_TRUE(Contains(s.Run("return '3' & 1"), "attempt to perform arithmetic"));
  EXPECT_TRUE(Contains(s.Run("return nil | 1"), "attempt to perform arithmetic on a nil value"));
  EXPECT_TRUE(Contains(s.Run("return 1 << {}"), "attempt to perform arithmetic on a table value"));
  EXPECT_TRUE(Contains(s.Run("return setmetatable({}, {__add = function() return 1 end}) & 1"),
                       "attempt to perform arithmetic")) << "no metamethod for bitwise operators";
  EXPECT_TRUE(Contains(s.Run("return L'3' + 1"), "attempt to call global `L'"))
      << "single quotes never form wide literals";
  EXPECT_EQ(s.Run("return L\"3\" + 1"), "4");
  EXPECT_EQ(s.Run("return -L\"2.5\""), "-2.5");
  EXPECT_EQ(s.Run("local n = 0 for i = 1, L\"3\" do n = n + i end return n"), "6");
  EXPECT_EQ(s.Run("local n = 0 for i = 1, '3', '1' do n = n + i end return n"), "6");
}

TEST(DialectOperators, PowerTakesTheExponentPathForNonNumbers) {
  LibState s;  // the math library sets the global __pow
  EXPECT_EQ(s.Run("return '2' ^ 3"), "8");
  EXPECT_EQ(s.Run("return 2 ^ '3'"), "8");
  EXPECT_EQ(s.Run("return L\"2\" ^ 3"), "8");
  EXPECT_EQ(s.Run("return math.pow(2, 3)"), "8");
  EXPECT_EQ(s.Run("return setmetatable({}, {__pow = function(a, b) return 'p' .. b end}) ^ 2"), "p2");
  EXPECT_EQ(s.Run("__pow = nil return '2' ^ 3"), "error: test:1: `__pow' (`^' operator) is not a function");
  EXPECT_TRUE(Contains(s.Run("return {} ^ 1"), "attempt to perform arithmetic on a table value"));
}

TEST(DialectLoops, ContinueInEveryKindOfLoop) {
  LibState s;
  EXPECT_EQ(s.Run("local t = '' for i = 1, 4 do if i == 2 then continue end t = t .. i end return t"), "134");
  EXPECT_EQ(s.Run("local t = '' for k, v in ipairs({'a', 'b', 'c'}) do if k == 2 then continue end t = t .. v end "
                  "return t"),
            "ac");
  EXPECT_EQ(s.Run("local t, i = '', 0 while i < 5 do i = i + 1 if i == 2 or i == 4 then continue end t = t .. i end "
                  "return t"),
            "135");
  // continue in repeat evaluates the condition, which ends the loop here
  EXPECT_EQ(s.Run("local n = 0 repeat n = n + 1 if n < 10 then continue end n = 100 until n >= 3 return n"), "3");
  EXPECT_EQ(s.Run("local t = '' for i = 1, 3 do for j = 1, 3 do if j == 2 then continue 2 end t = t .. i .. j end end "
                  "return t"),
            "112131");
  EXPECT_EQ(s.Run("local t = '' for i = 1, 3 do for j = 1, 3 do if j == 2 then break 2 end t = t .. i .. j end end "
                  "return t"),
            "11");
  EXPECT_EQ(s.Run("local t = '' for i = 1, 2 do do for j = 1, 2 do break 1 end end t = t .. i end return t"), "12");
  EXPECT_EQ(s.Run("local t = '' for i = 1, 3 do if i == 2 then continue 1; end t = t .. i end return t"), "13");
}

TEST(DialectLoops, ContinueClosesTheUpvaluesOfTheBodyItLeaves) {
  LibState s;
  EXPECT_EQ(s.Run("local f = {} for i = 1, 3 do local x = i f[i] = function() return x end "
                  "if i == 2 then continue end end return f[1]() .. f[2]() .. f[3]()"),
            "123");
  EXPECT_EQ(s.Run("local f, i = {}, 0 while i < 3 do i = i + 1 local x = i f[i] = function() return x end "
                  "if i == 2 then continue end end return f[1]() .. f[2]() .. f[3]()"),
            "123");
  EXPECT_EQ(s.Run("local f = {} for i = 1, 2 do for j = 1, 2 do local x = i * 10 + j "
                  "f[table.getn(f) + 1] = function() return x end continue 2 end end "
                  "return f[1]() .. ',' .. f[2]()"),
            "11,21");
  EXPECT_EQ(s.Run("local f = {} for i = 1, 2 do for j = 1, 2 do local x = j "
                  "f[table.getn(f) + 1] = function() return x end if j == 1 then break 2 end end end "
                  "return table.getn(f) .. f[1]()"),
            "11");
}

TEST(DialectLoops, SyntaxErrors) {
  LibState s;
  EXPECT_TRUE(Contains(s.Run("for i = 1, 2 do continue 0 end"), "loop block number out of range"));
  EXPECT_TRUE(Contains(s.Run("for i = 1, 2 do break 101 end"), "loop block number out of range"));
  EXPECT_TRUE(Contains(s.Run("for i = 1, 2 do break 1.5 end"), "loop block number must be integer"));
  EXPECT_TRUE(Contains(s.Run("continue"), "no loop to continue"));
  EXPECT_TRUE(Contains(s.Run("break"), "no loop to break"));
  EXPECT_TRUE(Contains(s.Run("for i = 1, 2 do break 2 end"), "no loop to break"));
  EXPECT_TRUE(Contains(s.Run("while true do continue 2 end"), "no loop to continue"));
  EXPECT_TRUE(Contains(s.Run("for i = 1, 2 do continue x = 1 end"), "`end' expected"));
  EXPECT_TRUE(Contains(s.Run("local continue = 1"), "`*name' expected near `continue'"));
  EXPECT_EQ(s.Run("for i = 1, 100 do break 100 end return 1"), "error: test:1: no loop to break near `end'");
}

TEST(DialectLexer, NumeralsAndEscapes) {
  LibState s;
  EXPECT_EQ(s.Run("return 0xff"), "255");
  EXPECT_EQ(s.Run("return 0xFFFFFFFF"), "4294967295");
  EXPECT_EQ(s.Run("return 0x7fffffff + 1"), "2147483648");
  EXPECT_TRUE(Contains(s.Run("return 0X10"), "malformed integer")) << "only a lower-case x starts hex";
  EXPECT_TRUE(Contains(s.Run("return 0x"), "malformed number"));
  EXPECT_TRUE(Contains(s.Run("return 12abc"), "malformed integer"));
  EXPECT_TRUE(Contains(s.Run("return 1.2.3"), "malformed number"));
  EXPECT_TRUE(Contains(s.Run("return 1e"), "malformed number"));
  EXPECT_EQ(s.Run("return '\\x41\\x4a'"), "AJ");
  EXPECT_EQ(s.Run("return '\\x4'"), "\x04");
  EXPECT_EQ(s.Run("return '\\x414'"), "A4") << "at most two digits";
  EXPECT_EQ(s.Run("return '\\xg'"), "xg");
  EXPECT_EQ(s.Run("return 1 >= 1, 2 <= 1"), "true");
  EXPECT_TRUE(Contains(s.Run("return 1 \x7f 2"), "invalid control char"));
  EXPECT_TRUE(Contains(s.Run("return 1 \xff 2"), "invalid wide char near `char(255)'"));
}

TEST(DialectLexer, WideLiterals) {
  LibState s;
  EXPECT_EQ(s.Run("return type(L\"hi\")"), "wstring");
  EXPECT_EQ(s.Run("return tostring(L\"a\\x0041b\")"), "aAb");
  EXPECT_EQ(s.Run("return L\"\\x141\" == L\"\\x0141\""), "true");
  // five hexadecimal digits: four make the unit, the fifth is an ordinary character
  EXPECT_EQ(s.Run("return string.format('%Q', L\"\\x12345\")"), "L\"\\x12345\"");
  EXPECT_EQ(s.Run("return string.format('%Q', L\"\\xzz\")"), "L\"xzz\"");
  EXPECT_EQ(s.Run("return string.format('%Q', L\"\\65\\t\\\"\")"), "L\"A\\t\\\"\"");
  EXPECT_TRUE(Contains(s.Run("return L\"\\300\""), "escape sequence too large"));
  EXPECT_TRUE(Contains(s.Run("return L\"abc"), "unfinished string"));
  EXPECT_TRUE(Contains(s.Run("return L\"ab\nc\""), "unfinished string"));
  EXPECT_EQ(s.Run("local L = 5 return L"), "5") << "L alone is still a name";
  EXPECT_EQ(s.Run("return L\"ab\" == L\"ab\", L\"ab\" == 'ab'"), "true");
  EXPECT_EQ(s.Run("return L\"ab\" ~= 'ab'"), "true");
  EXPECT_EQ(s.Run("local t = {[L\"k\"] = 1} return t[L\"k\"]"), "1");
}

TEST(DialectLexer, Utf16Chunks) {
  LibState s;
  lua_State* L = s.get();
  std::u16string text = u"x = L\"\u4e2d\u0041\" y = 1 << 4 return 'ok'";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  ASSERT_EQ(luaL_loadbuffer(L, bytes.data(), bytes.size(), "=utf16"), 0) << lua_tostring(L, -1);
  ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
  EXPECT_STREQ(lua_tostring(L, -1), "ok");
  lua_getglobal(L, "x");
  ASSERT_EQ(lua_type(L, -1), LUA_TWSTRING);
  ASSERT_EQ(lua_wstrlen(L, -1), 2u);
  EXPECT_EQ(lua_towstring(L, -1)[0], 0x4e2d);
  EXPECT_EQ(lua_towstring(L, -1)[1], 0x41);
  lua_getglobal(L, "y");
  EXPECT_EQ(lua_tonumber(L, -1), 16);
  lua_settop(L, 0);
  // a unit beyond a byte outside a literal starts no token
  std::string bad = "\xFF\xFEx\0=\0\x2d\x4e";
  bad.assign("\xFF\xFE" "x\0=\0\x2d\x4e", 8);
  ASSERT_EQ(luaL_loadbuffer(L, bad.data(), bad.size(), "=utf16"), LUA_ERRSYNTAX);
  EXPECT_TRUE(Contains(lua_tostring(L, -1), "invalid wide char near `char(20013)'"));
  lua_settop(L, 0);
  // the unit 0x0D0A holds the bytes of a line break but is an ordinary character
  std::string crlf("\xFF\xFE" "x\0=\0L\0\"\0\x0a\x0d\"\0", 14);
  ASSERT_EQ(luaL_loadbuffer(L, crlf.data(), crlf.size(), "=utf16"), 0) << lua_tostring(L, -1);
  ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0);
  lua_getglobal(L, "x");
  ASSERT_EQ(lua_wstrlen(L, -1), 1u);
  EXPECT_EQ(lua_towstring(L, -1)[0], 0x0D0A);
}

TEST(DialectLexer, ByteChunkWideLiteralsTakeOneUnitPerByte) {
  LibState s;
  lua_State* L = s.get();
  ASSERT_EQ(luaL_loadbuffer(L, "return L\"\xe9z\"", 12, "=b"), 0);
  ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
  ASSERT_EQ(lua_wstrlen(L, -1), 2u);
  EXPECT_EQ(lua_towstring(L, -1)[0], 0xe9);
  EXPECT_EQ(lua_towstring(L, -1)[1], 'z');
}

}  // namespace
