#pragma once
// Helpers for the core script tests: a state with a few test functions and chunk runners.

#include <cstddef>
#include <string>
#include <vector>

#include "lua.h"

namespace vmtest {

// Opens a state with `print`-free helpers: `check(v, msg)`, `yield(...)`, `getmeta(t)`, `setmeta(t, mt)`,
// `collect()`, `next`, `pcall`, `tostr(v)` and `error(v)`.
lua_State* OpenState();

// Loads a chunk from a string through a reader that hands it out in small pieces.
int LoadString(lua_State* L, const std::string& code, const char* name = "=test");

// Runs code; returns "" on success or the error message.
std::string Run(lua_State* L, const std::string& code);

// Runs code that returns one value, converted to text ("nil", numbers with %.14g, strings as is).
std::string Eval(lua_State* L, const std::string& code);

std::string Dump(lua_State* L);  // dumps the function on top of the stack

// A host allocator for lua_openwith that counts what it is asked for (`ud` is an AllocCount).
struct AllocCount {
  size_t calls = 0;
  size_t liveBlocks = 0;
  size_t liveBytes = 0;
};
void* CountingAlloc(void* ud, void* p, size_t osize, size_t nsize);

}  // namespace vmtest
