// A state's memory bound: a script that passes it fails with a memory error naming its chunk
// and line, the state goes on, and garbage alone never meets the bound.
#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lualib.h>

#include <string>

#include "core/lua/vm_test_util.h"

namespace {

constexpr size_t kLimit = 4 << 20;

// The pooled default allocator and a host allocator take different paths.
lua_State* Open(bool host, vmtest::AllocCount* count) {
  lua_State* L = host ? lua_openwith(&vmtest::CountingAlloc, count, nullptr) : lua_open();
  luaL_openlibs(L);
  lua_setmemlimit(L, kLimit);
  return L;
}

// Status and message of running `code` as the chunk "=runaway".
std::pair<int, std::string> RunChunk(lua_State* L, const std::string& code) {
  int status = luaL_loadbuffer(L, code.data(), code.size(), "=runaway");
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  std::string message = status && lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
  lua_settop(L, 0);
  return {status, message};
}

TEST(MemLimit, AScriptPastTheBoundIsStoppedNamingItsLineAndTheStateGoesOn) {
  const char* passed = "its memory passed the limit of 4 MB";
  const struct {
    const char* what;
    const char* code;
    const char* message;  // "" for a run to the end
  } cases[] = {
      {"a table that grows without end",
       "local t = {}\nwhile true do t[table.getn(t) + 1] = string.rep('x', 65536) .. table.getn(t) end",
       "script runaway stopped at line 2: "},
      {"one request over the bound", "local s = 1\nlocal big = string.rep('x', 64 * 1048576)", "script runaway stopped at line 2: "},
      {"a loop that catches the error and goes on",
       "local t = {}\nfor i = 1, 200 do pcall(function() t[table.getn(t) + 1] = string.rep('y', 65536) .. i end) end\n"
       "error(table.getn(t) < 64 and 'kept under the bound' or 'passed the bound')",
       "runaway:3: kept under the bound"},
      {"garbage far past the bound", "for i = 1, 2000 do local s = string.rep('z', 65536) .. i end", ""},
  };
  for (const bool host : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (host ? ", host allocator" : ", pooled"));
      vmtest::AllocCount count;
      lua_State* L = Open(host, &count);
      const auto [status, message] = RunChunk(L, c.code);
      if (*c.message == 0) {
        EXPECT_EQ(status, 0) << message;
      } else {
        EXPECT_NE(status, 0);
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
        if (*c.message == 's') {
          EXPECT_NE(message.find(passed), std::string::npos) << message;
        }
      }
      EXPECT_LE(size_t(lua_getgccount(L)) << 10, kLimit + 65536 + 1024);
      if (host) {
        EXPECT_LE(count.liveBytes, kLimit + 65536 + 1024);
      }
      EXPECT_EQ(RunChunk(L, "local t = {} for i = 1, 100 do t[i] = string.rep('w', 1000) .. i end").first, 0);
      lua_close(L);
    }
  }
}

// Outside any protected call a memory error would end the process: the host's own work there
// goes on past the bound.
TEST(MemLimit, WorkOutsideProtectedCallsIsNotStopped) {
  lua_State* L = Open(false, nullptr);
  const std::string big(kLimit, 'x');
  lua_pushlstring(L, big.data(), big.size());
  EXPECT_EQ(lua_strlen(L, -1), kLimit);
  lua_close(L);
}

}  // namespace
