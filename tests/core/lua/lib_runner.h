// Helpers for the library tests: running scripts in a state, and running the interpreters.
#pragma once

#include <string>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace tv_lua_test {

// A state with every standard library open, closed when the object goes.
class LibState {
 public:
  LibState() : L_(lua_open()) { luaL_openlibs(L_); lua_settop(L_, 0); }
  ~LibState() { lua_close(L_); }
  LibState(const LibState&) = delete;
  LibState& operator=(const LibState&) = delete;
  lua_State* get() const { return L_; }

  // Runs code; returns the first result as text ("nil", "true", numbers via tostring), or
  // "error: <message>" when loading or running fails. The stack is left empty.
  std::string Run(const std::string& code) {
    std::string out;
    int status = luaL_loadbuffer(L_, code.data(), code.size(), "=test");
    if (status == 0) status = lua_pcall(L_, 0, 1, 0);
    if (status != 0) {
      const char* m = lua_tostring(L_, -1);
      out = std::string("error: ") + (m ? m : "(non-string)");
    } else {
      lua_getglobal(L_, "tostring");
      lua_pushvalue(L_, -2);
      lua_call(L_, 1, 1);
      const char* s = lua_tostring(L_, -1);
      out.assign(s ? s : "", s ? lua_strlen(L_, -1) : 0);
    }
    lua_settop(L_, 0);
    return out;
  }

 private:
  lua_State* L_;
};

struct ProcessResult {
  std::string out;  // stdout (with stderr when merged)
  int exit_code = -1;
};

// Runs a program with arguments through the shell, each argument single-quoted.
ProcessResult RunProgram(const std::string& program, const std::string& script,
                         const std::string& extra_args, bool merge_stderr, const std::string& workdir = "");

// Path of the vlua program, and of the peer interpreter ("" when not installed).
std::string VluaPath();
std::string PeerPath();
std::string SourceDir();

// Whether the vlua program exists (it is built by the core's CMake block).
bool VluaAvailable();

}  // namespace tv_lua_test
