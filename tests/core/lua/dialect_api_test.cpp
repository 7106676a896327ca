// The engine's C API additions: wide strings, default metatables, boxes, lua_getn, coroutine
// queries, hooks, chunks with wide constants, and the writer and locale rules.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "core/lua/lib_runner.h"
#include "core/lua/vm_test_util.h"

namespace {

using tv_lua_test::LibState;

int AppendBytes(lua_State*, const void* p, size_t size, void* ud) {
  static_cast<std::string*>(ud)->append(static_cast<const char*>(p), size);
  return 1;  // a non-zero result must not stop the dump
}

std::string DumpTop(lua_State* L) {
  std::string bytes;
  EXPECT_EQ(lua_dump(L, AppendBytes, &bytes), 1);
  return bytes;
}

TEST(DialectApi, WideStringsPushAndConvert) {
  LibState s;
  lua_State* L = s.get();
  const lua_WChar hi[] = {'h', 0x4e2d, 'i', 0};
  lua_pushwstring(L, hi);
  EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
  EXPECT_STREQ(lua_typename(L, LUA_TWSTRING), "wstring");
  EXPECT_EQ(lua_wstrlen(L, -1), 3u);
  EXPECT_EQ(lua_towstring(L, -1)[3], 0) << "zero-terminated";
  EXPECT_EQ(lua_tostring(L, -1), nullptr) << "not a narrow string";
  lua_pushlwstring(L, hi, 2);
  EXPECT_EQ(lua_wstrlen(L, -1), 2u);
  lua_pushlwstring(L, hi, 3);
  EXPECT_TRUE(lua_rawequal(L, -1, -3)) << "interned: equal texts are one object";
  lua_pushwstring(L, nullptr);
  EXPECT_TRUE(lua_isnil(L, -1));
  lua_pushnumber(L, 12.5);
  const lua_WChar* w = lua_towstring(L, -1);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(w)), u"12.5");
  EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING) << "converted in place";
  lua_newtable(L);
  EXPECT_EQ(lua_towstring(L, -1), nullptr);
  EXPECT_EQ(lua_towstring(L, 100), nullptr) << "an unacceptable index";
  const lua_WChar embedded[] = {'a', 0, 'b'};
  lua_pushlwstring(L, embedded, 3);
  EXPECT_EQ(lua_wstrlen(L, -1), 3u);
}

TEST(DialectApi, WideStringsSurviveCollection) {
  LibState s;
  lua_State* L = s.get();
  const lua_WChar text[] = {'k', 'e', 'e', 'p', 0};
  lua_pushwstring(L, text);
  lua_setglobal(L, "kept");
  for (int i = 0; i < 2000; i++) {
    lua_pushnumber(L, i);
    lua_towstring(L, -1);
    lua_pop(L, 1);
  }
  lua_setgcthreshold(L, 0);
  EXPECT_EQ(s.Run("return tostring(kept) .. tostring(L\"keep\" == kept)"), "keeptrue");
  EXPECT_EQ(s.Run("local t = setmetatable({}, {__mode = 'k'}) t[L\"w\"] = 1 collectgarbage() return t[L\"w\"]"), "1");
}

TEST(DialectApi, DefaultMetatables) {
  LibState s;
  lua_State* L = s.get();
  for (int t = 1; t <= 10; t++) {
    lua_getdefaultmetatable(L, t);
    EXPECT_TRUE(lua_istable(L, -1)) << "type " << t;
    lua_pop(L, 1);
  }
  lua_getdefaultmetatable(L, LUA_TNIL);
  EXPECT_TRUE(lua_isnil(L, -1));
  lua_pop(L, 1);
  // a number on the top is popped and changes nothing
  lua_getdefaultmetatable(L, LUA_TNUMBER);
  lua_pushnumber(L, 5);
  lua_setdefaultmetatable(L, LUA_TNUMBER);
  EXPECT_EQ(lua_gettop(L), 1);
  lua_getdefaultmetatable(L, LUA_TNUMBER);
  EXPECT_TRUE(lua_rawequal(L, -1, -2));
  lua_settop(L, 0);
  // the registry names the default metatables
  lua_pushvalue(L, LUA_REGISTRYINDEX);
  lua_setglobal(L, "REG");
  EXPECT_EQ(s.Run("return rawequal(REG._number, getmetatable(1))"), "true");
  EXPECT_EQ(s.Run("return rawequal(getmetatable(''), string)"), "true") << "the string library's table";
  lua_pushstring(L, "_wstring");
  lua_rawget(L, LUA_REGISTRYINDEX);
  lua_getdefaultmetatable(L, LUA_TWSTRING);
  EXPECT_TRUE(lua_rawequal(L, -1, -2));
  lua_settop(L, 0);
}

TEST(DialectApi, DefaultMetatablesAsHandlers) {
  LibState s;
  lua_pushvalue(s.get(), LUA_REGISTRYINDEX);
  lua_setglobal(s.get(), "REG");
  EXPECT_EQ(s.Run("return ('abc'):upper()"), "ABC");
  EXPECT_EQ(s.Run("return (5).x"), "nil");
  EXPECT_EQ(s.Run("REG._number.x = 7 return (5).x"), "7");
  EXPECT_EQ(s.Run("local n = 5 n.y = 8 return REG._number.y"), "8") << "assignment stores there";
  EXPECT_EQ(s.Run("return (L\"ab\").len"), "nil");
  EXPECT_TRUE(s.Run("local x = nil return x.y").find("attempt to index local `x' (a nil value)") != std::string::npos);
  EXPECT_TRUE(s.Run("return (5)()").find("attempt to call a number value") != std::string::npos);
  EXPECT_TRUE(s.Run("return true + 1").find("attempt to perform arithmetic on a boolean value") != std::string::npos);
  EXPECT_TRUE(s.Run("return {} .. true").find("attempt to concatenate") != std::string::npos);
  EXPECT_TRUE(s.Run("return L\"a\" < L\"b\"").find("attempt to call a table value") != std::string::npos)
      << "wide strings have no built-in order: the handler (a table) is called";
  // a metamethod of the second operand still applies when the first is a number or string
  EXPECT_EQ(s.Run("local v = setmetatable({}, {__mul = function() return 'm' end, "
                  "__concat = function() return 'c' end}) return (3 * v) .. ('!' .. v)"),
            "mc");
}

TEST(DialectApi, BoxedUserdataAndIndexThroughTheMetatable) {
  LibState s;
  lua_State* L = s.get();
  int target = 0;
  lua_newuserdatabox(L, &target);
  EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
  EXPECT_EQ(lua_touserdata(L, -1), &target);
  lua_newtable(L);
  lua_pushstring(L, "field");
  lua_pushnumber(L, 42);
  lua_rawset(L, -3);
  lua_setmetatable(L, -2);
  lua_setglobal(L, "box");
  EXPECT_EQ(s.Run("return box.field"), "42") << "without __index the metatable itself is read";
  EXPECT_TRUE(s.Run("box.field = 1").find("attempt to index") != std::string::npos) << "writing needs __newindex";
  EXPECT_EQ(s.Run("return towstring(box) == towstring(box)"), "true");
  char name[64];
  std::snprintf(name, sizeof name, "userdata: %p", static_cast<void*>(&target));
  EXPECT_EQ(s.Run("return tostring(towstring(box))"), name) << "the boxed pointer is shown";
  lua_newuserdata(L, 8);
  EXPECT_NE(lua_touserdata(L, -1), nullptr);
  EXPECT_TRUE(s.Run("return newproxy().x").find("attempt to index") != std::string::npos);
}

TEST(DialectApi, GetnHonoursFieldNThenTheGreatestKey) {
  LibState s;
  lua_State* L = s.get();
  auto getn = [&](const char* code) {
    luaL_loadbuffer(L, code, std::strlen(code), "=t");
    lua_pcall(L, 0, 1, 0);
    int n = lua_getn(L, -1);
    lua_pop(L, 1);
    return n;
  };
  EXPECT_EQ(getn("return {1,2,3,4,5,6,7,8,9,10; n = 3}"), 3);
  EXPECT_EQ(getn("local t = {1,2,3,4} t[9] = 1 return t"), 9);
  EXPECT_EQ(getn("return {}"), 0);
  EXPECT_EQ(getn("return {1, 2, nil}"), 2);
  EXPECT_EQ(getn("return {[-5] = 1, [2.5] = 1}"), 2);
  EXPECT_EQ(getn("return {[1e300] = 1}"), 2147483647) << "huge keys saturate";
  EXPECT_EQ(getn("return {n = 0/0}"), 0) << "NaN gives 0";
  EXPECT_EQ(getn("return {n = -1e300}"), -2147483647 - 1);
  EXPECT_EQ(getn("return {n = 'x', 1, 2}"), 2);
  EXPECT_EQ(getn("local t = {[3] = 1} t[3] = nil return t"), 0);
}

TEST(DialectApi, CoroutineQueries) {
  LibState s;
  lua_State* L = s.get();
  lua_State* co = lua_newthread(L);
  EXPECT_FALSE(lua_isyielded(co));
  luaL_loadbuffer(co, "coroutine.yield(1) error('boom')", 32, "=co");
  EXPECT_EQ(lua_resume(co, 0), 0);
  EXPECT_TRUE(lua_isyielded(co));
  EXPECT_FALSE(lua_diedinerror(co));
  lua_settop(co, 0);
  EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
  EXPECT_FALSE(lua_isyielded(co));
  EXPECT_TRUE(lua_diedinerror(co));
  lua_settop(co, 0);
  EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
  EXPECT_STREQ(lua_tostring(co, -1), "cannot resume dead coroutine");
  EXPECT_EQ(s.Run("local co = coroutine.create(function() error({}) end) coroutine.resume(co) "
                  "return coroutine.status(co) .. tostring(coroutine.resume(co))"),
            "deadfalse");
}

TEST(DialectApi, DumpIgnoresTheWriterResultAndKeepsWideConstants) {
  LibState s;
  lua_State* L = s.get();
  const char* code = "local w = L\"wide\\x1234\" return w, L\"\"";
  ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=c"), 0);
  std::string first = DumpTop(L);
  // the wide constant: tag 9, a size_t count with the terminator, units in machine order
  std::string tagged("\x09", 1);
  size_t count = 6;
  tagged.append(reinterpret_cast<const char*>(&count), sizeof count);
  const uint16_t units[] = {'w', 'i', 'd', 'e', 0x1234, 0};
  tagged.append(reinterpret_cast<const char*>(units), sizeof units);
  EXPECT_NE(first.find(tagged), std::string::npos);
  lua_settop(L, 0);
  ASSERT_EQ(luaL_loadbuffer(L, first.data(), first.size(), "=c"), 0) << lua_tostring(L, -1);
  std::string second = DumpTop(L);
  EXPECT_EQ(first, second) << "byte-identical on a second dump";
  ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
  ASSERT_EQ(lua_type(L, 1), LUA_TWSTRING);
  EXPECT_EQ(lua_wstrlen(L, 1), 5u);
  EXPECT_EQ(lua_towstring(L, 1)[4], 0x1234);
  EXPECT_EQ(lua_wstrlen(L, 2), 0u);
  lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(units), 5);
  EXPECT_TRUE(lua_rawequal(L, 1, -1));
  lua_settop(L, 0);
  lua_pushnumber(L, 1);
  std::string none;
  EXPECT_EQ(lua_dump(L, AppendBytes, &none), 0) << "only script functions dump";
}

TEST(DialectApi, BadConstantsAndTheStockNumbering) {
  LibState s;
  lua_State* L = s.get();
  const char* code = "return L\"\\x0102\"";
  ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=c"), 0);
  std::string chunk = DumpTop(L);
  lua_settop(L, 0);
  size_t tag = chunk.find(std::string("\x09\x02\0\0\0\0\0\0\0", 9));
  ASSERT_NE(tag, std::string::npos);
  std::string bad = chunk;
  bad[tag] = 7;
  ASSERT_EQ(luaL_loadbuffer(L, bad.data(), bad.size(), "=c"), LUA_ERRSYNTAX);
  EXPECT_STREQ(lua_tostring(L, -1), "bad constant type (7) in c");
  lua_settop(L, 0);
  // a chunk made for the stock numbering (operations from 20 on four lower) fails to load
  std::string stock = chunk;
  size_t ncode = 0;  // the main function's code ends the chunk, after its instruction count
  for (uint32_t n = 1; n < 16 && ncode == 0; n++) {
    uint32_t count;
    std::memcpy(&count, &stock[stock.size() - 4 * n - 4], 4);
    if (count == n) ncode = stock.size() - 4 * n - 4;
  }
  ASSERT_NE(ncode, 0u);
  for (size_t at = ncode + 4; at < stock.size(); at += 4) {
    uint32_t ins;
    std::memcpy(&ins, &stock[at], 4);
    if ((ins & 0x3F) >= 20) ins -= 4;
    std::memcpy(&stock[at], &ins, 4);
  }
  ASSERT_EQ(luaL_loadbuffer(L, stock.data(), stock.size(), "=c"), LUA_ERRSYNTAX);
  EXPECT_STREQ(lua_tostring(L, -1), "bad code in c");
  lua_settop(L, 0);
}

TEST(DialectApi, NumbersBecomeTextInTheCLocaleWhateverTheProcessLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
  LibState s;
  lua_State* L = s.get();
  lua_pushnumber(L, 2.5);
  EXPECT_STREQ(lua_tostring(L, -1), "2.5");
  EXPECT_EQ(s.Run("return 1.5 + '0.25'"), "1.75");
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_SKIP() << "no comma locale installed; only the C locale was checked";
}

TEST(DialectApi, NumberTextMatchesTheUsualFormat) {
  LibState s;
  lua_State* L = s.get();
  const double values[] = {0, -0.0, 1, -1, 0.1, 1e15, 1e16, 123456789012345, 1e100, 1.5e-7, 3.14159265358979, 1e300 * 1e300};
  for (double v : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.14g", v);
    lua_pushnumber(L, v);
    EXPECT_STREQ(lua_tostring(L, -1), expected);
    lua_pop(L, 1);
  }
}

TEST(DialectApi, AllocationHookSeesEveryBlock) {
  vmtest::AllocCount count;
  lua_State* L = lua_openwith(vmtest::CountingAlloc, &count, nullptr);
  ASSERT_NE(L, nullptr);
  luaopen_base(L);
  const char* code = "local t = {} for i = 1, 100 do t[i] = {tostring(i)} end return t";
  ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=a"), 0);
  ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
  EXPECT_GT(count.calls, 100u);
  EXPECT_GT(count.liveBlocks, 0u);
  lua_close(L);
  EXPECT_EQ(count.liveBlocks, 0u) << "every block is freed through the hook";
}

TEST(DialectApiDeathTest, UnprotectedErrorCallsPanicThenFatal) {
  EXPECT_EXIT(
      {
        lua_State* L = lua_openwith(nullptr, nullptr, [](lua_State*) {
          std::fputs("fatal hook\n", stderr);
          std::exit(3);
        });
        lua_atpanic(L, [](lua_State*) {
          std::fputs("panic hook\n", stderr);
          return 0;
        });
        lua_pushstring(L, "x");
        lua_error(L);
      },
      testing::ExitedWithCode(3), "panic hook\nfatal hook");
  EXPECT_EXIT(
      {
        lua_State* L = lua_open();
        lua_pushstring(L, "x");
        lua_error(L);
      },
      testing::ExitedWithCode(1), "");
}

}  // namespace

namespace {

struct MemoryFile {
  std::string text;
  size_t pos = 0;
};

MemoryFile* g_file_source = nullptr;

void* OpenMemory(const char* name) {
  if (std::string(name) != "virtual.lua") return nullptr;
  g_file_source->pos = 0;
  return g_file_source;
}
size_t ReadMemory(void* f, void* buf, size_t size) {
  auto* m = static_cast<MemoryFile*>(f);
  size_t n = std::min(size, m->text.size() - m->pos);
  std::memcpy(buf, m->text.data() + m->pos, n);
  m->pos += n;
  return n;
}
void CloseMemory(void*) {}

TEST(DialectApi, FileLoaderReadsThroughTheHostsFileFunctions) {
  static const luaL_FileFuncs funcs = {OpenMemory, ReadMemory, CloseMemory};
  MemoryFile file;
  file.text = "#!shell line\nreturn 'from ' .. 'memory', L\"w\"";
  g_file_source = &file;
  LibState s;
  lua_State* L = s.get();
  luaL_setfilefuncs(L, &funcs);
  ASSERT_EQ(luaL_loadfile(L, "virtual.lua"), 0) << lua_tostring(L, -1);
  ASSERT_EQ(lua_pcall(L, 0, 2, 0), 0);
  EXPECT_STREQ(lua_tostring(L, 1), "from memory");
  EXPECT_EQ(lua_type(L, 2), LUA_TWSTRING);
  lua_settop(L, 0);
  EXPECT_EQ(luaL_loadfile(L, "missing.lua"), LUA_ERRFILE);
  EXPECT_STREQ(lua_tostring(L, -1), "cannot open missing.lua");
  lua_settop(L, 0);
  EXPECT_EQ(s.Run("return dofile('virtual.lua')"), "from memory");
  luaL_setfilefuncs(L, nullptr);
  EXPECT_EQ(luaL_loadfile(L, "virtual.lua"), LUA_ERRFILE) << "back to the C library's files";
  g_file_source = nullptr;
}

}  // namespace
