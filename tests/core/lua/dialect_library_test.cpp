// The engine's library additions: towstring, wide strings in the base functions and in
// concatenation, the format conversions, lualex, pack and unpack.
#include <gtest/gtest.h>

#include <string>

#include "core/lua/lib_runner.h"

namespace {

using tv_lua_test::LibState;

bool Contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

// The units of the wide string that `code` returns, as a UTF-16 string.
std::u16string WideResult(LibState& s, const std::string& code) {
  lua_State* L = s.get();
  std::u16string out;
  if (luaL_loadbuffer(L, code.data(), code.size(), "=w") == 0 && lua_pcall(L, 0, 1, 0) == 0 &&
      lua_type(L, -1) == LUA_TWSTRING) {
    const lua_WChar* w = lua_towstring(L, -1);
    out.assign(reinterpret_cast<const char16_t*>(w), lua_wstrlen(L, -1));
  } else {
    out = u"<not a wide string>";
  }
  lua_settop(L, 0);
  return out;
}

TEST(DialectLibrary, ToWString) {
  LibState s;
  EXPECT_EQ(WideResult(s, "return towstring('A\\128')"), std::u16string(u"\u0041\uFF80"));
  EXPECT_EQ(WideResult(s, "return towstring(12)"), u"12");
  EXPECT_EQ(WideResult(s, "return towstring(L\"x\")"), u"x");
  EXPECT_EQ(WideResult(s, "return towstring('')"), u"");
  std::u16string table = WideResult(s, "return towstring({})");
  EXPECT_EQ(table.substr(0, 7), u"table: ");
  EXPECT_GT(table.size(), 9u);
  EXPECT_EQ(WideResult(s, "return towstring(print)").substr(0, 10), u"function: ");
  EXPECT_EQ(WideResult(s, "return towstring(coroutine.create(function() end))").substr(0, 8), u"thread: ");
  EXPECT_EQ(s.Run("return type(towstring(nil))"), "string");
  EXPECT_EQ(s.Run("return towstring(nil)"), "nil");
  EXPECT_TRUE(Contains(s.Run("return towstring(true)"), "bad argument #1 to `towstring' (value expected)"));
  EXPECT_TRUE(Contains(s.Run("return towstring()"), "bad argument #1 to `towstring'"));
  EXPECT_EQ(s.Run("return tostring(towstring(setmetatable({}, {__tostring = function() return 'x' end}))) ~= 'x'"),
            "true") << "no __tostring";
}

TEST(DialectLibrary, BaseFunctionsOnWideStrings) {
  LibState s;
  EXPECT_EQ(s.Run("return tostring(L\"hi\")"), "hi");
  EXPECT_EQ(s.Run("return tostring(L\"\")"), "");
  EXPECT_EQ(s.Run("return tostring(L\"\\x4142\")"), "B") << "the low 8 bits";
  EXPECT_EQ(s.Run("return type(L\"hi\")"), "wstring");
  EXPECT_EQ(s.Run("return tonumber(L\" 0x10 \")"), "16");
  EXPECT_EQ(s.Run("return tonumber(L\"-2.5e1\")"), "-25");
  EXPECT_EQ(s.Run("return tonumber(L\"1e\")"), "nil");
  EXPECT_EQ(s.Run("return tonumber(L\"12x\")"), "nil");
  EXPECT_EQ(s.Run("return tonumber(L\"ff\", 16)"), "255");
  EXPECT_EQ(s.Run("return tonumber(L\"\\x100\", 16)"), "nil");
  EXPECT_EQ(s.Run("return math.floor(L\"2.5\")"), "2") << "number arguments accept wide strings";
  EXPECT_TRUE(Contains(s.Run("return string.len(L\"ab\")"), "string expected, got wstring"));
}

TEST(DialectLibrary, ConcatenationRuns) {
  LibState s;
  EXPECT_EQ(WideResult(s, "return L\"a\" .. 1"), u"a1");
  EXPECT_EQ(WideResult(s, "return 1 .. L\"a\" .. 2.5"), u"1a2.5");
  EXPECT_EQ(WideResult(s, "local x = L\"\" return x .. x"), u"");
  EXPECT_EQ(WideResult(s, "return 1 .. 2 .. L\"\""), u"12");
  EXPECT_TRUE(Contains(s.Run("return 'a' .. L\"b\""), "attempt to concatenate"));
  EXPECT_TRUE(Contains(s.Run("return L\"a\" .. 'b'"), "attempt to concatenate"));
  EXPECT_EQ(s.Run("return 'a' .. 1 .. 'b'"), "a1b") << "narrow runs unchanged";
  // the string-like operand nearest the end decides the kind of the whole run
  EXPECT_TRUE(Contains(s.Run("return L\"a\" .. 'b' .. 1"), "attempt to concatenate"));
  EXPECT_EQ(s.Run("local w = setmetatable({}, {__concat = function(a, b) return 'h' end}) "
                  "return w .. L\"x\""),
            "h");
  EXPECT_EQ(s.Run("local t = {} for i = 1, 50 do t[i] = L\"ab\" end "
                  "local r = L\"\" for i = 1, 50 do r = r .. t[i] end return string.len(tostring(r))"),
            "100");
}

TEST(DialectLibrary, FormatAdditions) {
  LibState s;
  EXPECT_EQ(s.Run("return string.format('%B', nil)"), "false");
  EXPECT_EQ(s.Run("return string.format('%B|%5B', true, false)"), "true|false");
  EXPECT_TRUE(Contains(s.Run("return string.format('%B', 1)"), "boolean expected, got number"));
  EXPECT_EQ(s.Run("return string.format('%bw', 258) == '\\2\\1'"), "true");
  EXPECT_EQ(s.Run("return string.format('%bb', 65)"), "A");
  EXPECT_EQ(s.Run("return string.format('%bd', -2) == '\\254\\255\\255\\255'"), "true");
  EXPECT_EQ(s.Run("return string.format('%bd', 1e20) == '\\255\\255\\255\\127'"), "true") << "saturates";
  EXPECT_EQ(s.Run("return string.format('%bd', 0/0) == '\\0\\0\\0\\0'"), "true");
  EXPECT_EQ(s.Run("return string.len(string.format('%bf%bF', 1.5, 1.5))"), "12");
  EXPECT_EQ(s.Run("return string.format('[%bz]', 1)"), "[]") << "an unknown size letter writes nothing";
  EXPECT_EQ(s.Run("return string.format('%bz%d', 1, 2)"), "2") << "but consumes the argument";
  EXPECT_EQ(s.Run("return string.format('%Q', 'a\\n')"), "\"a\\n\"");
  EXPECT_EQ(s.Run("return string.format('%Q', '\\7\\8\\9\\10\\11\\12\\13\"\\\\\\0\\200')"),
            "\"\\a\\b\\t\\n\\v\\f\\r\\\"\\\\\\x00\\xc8\"");
  EXPECT_EQ(s.Run("return string.format('%Q', L\"a\\x0100\\t\")"), "L\"a\\x0100\\t\"");
  EXPECT_EQ(s.Run("return string.format('%Q', 12)"), "\"12\"");
}

TEST(DialectLibrary, Lualex) {
  LibState s;
  EXPECT_EQ(s.Run("return string.lualex('a\\\\tb\\\\65\\\\x41\\\\q', 0) == 'a\\tbAA\\0q'"), "true");
  EXPECT_EQ(s.Run("return string.lualex('\\\\x4g', 0) == '\\4\\0g'"), "true") << "two bytes per hex escape, low first";
  EXPECT_EQ(s.Run("return string.lualex('\\\\xg', 0)"), "xg");
  EXPECT_EQ(s.Run("return string.lualex('\\\\1234', 0) == '{4'"), "true") << "three digits at most";
  EXPECT_EQ(s.Run("return string.lualex('\\\\300', 0) == '\\44'"), "true") << "modulo 256";
  EXPECT_EQ(s.Run("return string.lualex('end\\\\', 0)"), "end\\");
  // wide mode: UTF-16 units in and out, four hex digits
  EXPECT_EQ(s.Run("return string.lualex('a\\0\\\\\\0x\\0001\\0002\\0003\\0004\\0', 1) == 'a\\0\\52\\18'"), "true");
  EXPECT_EQ(s.Run("return string.lualex('\\\\\\0n\\0', 1) == '\\10\\0'"), "true");
}

TEST(DialectLibrary, PackAndUnpackInBothByteOrders) {
  LibState s;
  EXPECT_EQ(s.Run("return string.pack('>h', 258) == '\\1\\2'"), "true");
  EXPECT_EQ(s.Run("return string.pack('<h', 258) == '\\2\\1'"), "true");
  EXPECT_EQ(s.Run("local p, v = string.unpack(string.pack('>h', 258), '>h') return p .. ',' .. v"), "3,258");
  EXPECT_EQ(s.Run("local p, a, b, c, d = string.unpack(string.pack('<iI>lL', -5, 4000000000, -7, 1), '<iI>lL') "
                  "return table.concat({p, a, b, c, d}, ',')"),
            "17,-5,4000000000,-7,1");
  EXPECT_EQ(s.Run("local p, a, b, c = string.unpack(string.pack('cbH', -1, 255, 65535), 'cbH') "
                  "return table.concat({p, a, b, c}, ',')"),
            "5,-1,255,65535");
  EXPECT_EQ(s.Run("local _, f, d = string.unpack(string.pack('>fd', 1.5, -2.25), '>fd') return f .. ',' .. d"),
            "1.5,-2.25");
  EXPECT_EQ(s.Run("local _, a, b = string.unpack(string.pack('B2', true, false), 'B2') "
                  "return tostring(a) .. tostring(b)"),
            "truefalse");
  EXPECT_EQ(s.Run("return string.len(string.pack('b3', 1, 2, 3))"), "3");
  EXPECT_EQ(s.Run("return string.pack('h', 0/0) == '\\0\\0'"), "true") << "NaN packs as 0";
  EXPECT_EQ(s.Run("return string.pack('<i', 1e300) == '\\255\\255\\255\\255'"), "true")
      << "huge values saturate, then keep their low bits";
  EXPECT_TRUE(Contains(s.Run("return string.pack('q')"), "bad argument #1 to `pack' (bad code `q')"));
  EXPECT_TRUE(Contains(s.Run("return string.pack('~')"), "bad code `~'"));
  EXPECT_TRUE(Contains(s.Run("return string.pack('B', 1)"), "expected a boolean"));
  EXPECT_TRUE(Contains(s.Run("return string.unpack('ab', '@2')"), "bad code `@'"));
}

TEST(DialectLibrary, PackStringsAndFields) {
  LibState s;
  EXPECT_EQ(s.Run("return string.pack('z', 'ab') == 'ab\\0'"), "true");
  EXPECT_EQ(s.Run("return string.pack('>Pa', 'x', 'yz') == '\\0\\1x\\0\\0\\0\\2yz'"), "true");
  EXPECT_EQ(s.Run("return string.pack('<wp', L\"\\x0102\") == '\\1\\2\\1'"), "true");
  EXPECT_EQ(s.Run("return string.pack('>wz', L\"a\") == '\\0a\\0\\0'"), "true");
  EXPECT_TRUE(Contains(s.Run("return string.pack('p', string.rep('x', 256))"), "too long"));
  // fixed-size fields: padded with the fill byte, longer contents left alone
  EXPECT_EQ(s.Run("return string.pack('@4:46 A @', 'ab') == 'ab..'"), "true");
  EXPECT_EQ(s.Run("return string.pack('@2 A @', 'abcd')"), "abcd");
  EXPECT_EQ(s.Run("return string.pack('@3 b @ @3 b @', 1, 2) == '\\1\\0\\0\\2\\0\\0'"), "true");
  EXPECT_EQ(s.Run("return string.pack('@2:120 b @ @3 b @', 1, 2) == '\\1x\\2xx'"), "true")
      << "the fill byte stays as last set";
  EXPECT_EQ(s.Run("return string.pack('@ b @2 b @', 1, 2, 3) == '\\1\\2\\0'"), "true")
      << "an @ without a size opens nothing";
  EXPECT_EQ(s.Run("local p, a, b = string.unpack(string.pack('<z>wz', 'hi', L\"yo\"), '<z>wz') "
                  "return p .. a .. tostring(b)"),
            "10hiyo");
  EXPECT_EQ(s.Run("local p, a, b = string.unpack('abcdef', 'A3A', 2) return p .. a .. b"), "6bcde");
  EXPECT_EQ(s.Run("local p, a = string.unpack('\\0a\\0b', '>wA2') return p .. tostring(a)"), "5ab");
}

TEST(DialectLibrary, UnpackNeverReadsPastTheData) {
  LibState s;
  EXPECT_EQ(s.Run("return table.getn({string.unpack('abc', 'z')})"), "1") << "no terminator: nothing read";
  EXPECT_EQ(s.Run("local p, x = string.unpack('\\5ab', 'p') return p .. tostring(x)"), "1nil");
  EXPECT_EQ(s.Run("local p, x = string.unpack('\\0\\0\\0\\255ab', '>a') return p .. tostring(x)"), "1nil");
  EXPECT_EQ(s.Run("local p, x = string.unpack('\\255\\255\\255\\255', '<a') return p .. tostring(x)"), "1nil");
  EXPECT_EQ(s.Run("local p, a, b = string.unpack('\\1\\2', 'bhb') return p .. a .. tostring(b)"), "21nil");
  EXPECT_EQ(s.Run("return (string.unpack('ab', 'A5'))"), "1");
  EXPECT_EQ(s.Run("return (string.unpack('ab', 'i', 100))"), "3") << "init past the end";
  EXPECT_EQ(s.Run("return (string.unpack('ab', 'b', -5))"), "2") << "init before the start reads from 1";
  EXPECT_EQ(s.Run("return (string.unpack('a', 'wz'))"), "1");
  EXPECT_EQ(s.Run("return (string.unpack('', 'b999999999'))"), "1");
  EXPECT_EQ(s.Run("local t = {string.unpack(string.rep('x', 100), 'b200')} return table.getn(t)"), "101");
}

}  // namespace
