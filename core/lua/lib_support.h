// Helpers shared by the standard libraries.
#pragma once

#include <cstddef>
#include <cstdio>

#include "lua.h"

namespace tv_lua {

// snprintf in the C locale: scripts always see '.' as the decimal point.
int FormatInCLocale(char* buf, std::size_t size, const char* fmt, ...)
    __attribute__((format(printf, 3, 4)));

// fscanf("%lf") in the C locale; false when no number could be read.
bool ScanNumberInCLocale(std::FILE* f, double* d);

// A double converted to an integer without undefined behaviour: NaN gives 0 and values beyond
// the range saturate.
long long NumberToInteger(double d);

// Pushes the registry table stored under key, making it first; a non-null mode ("k", "v")
// makes its entries weak.
void PushRegistryTable(lua_State* L, const char* key, const char* mode);

// Registry key of the weak table that holds sizes set by luaL_setn on tables without "n".
inline constexpr char kSizesKey[] = "LUA_SIZES";

// Texts the size functions use on every call, made once per state, so reading them interns nothing.
enum class FixedText { kN, kSizesKey };

// How many of t[1], t[2], ... are not nil before the first nil (raw reads; t is a table).
int CountToFirstNil(lua_State* L, int t);

// Resumes co with narg arguments from the top of L. Returns the number of results moved to L,
// or -1 with the error message on top of L.
int ResumeCoroutine(lua_State* L, lua_State* co, int narg);
// The same, from a function made by coroutine.wrap (its coroutine is its first upvalue), with
// all of its arguments.
int ResumeWrapped(lua_State* L);

// The size luaL_getn reports and the one luaL_setn records, read and written in place (t is a
// table): -1 when no size is recorded (luaL_getn then counts), false while the weak table of
// sizes is not made yet (luaL_setn then makes it).
int TableSize(lua_State* L, int t);
bool SetTableSize(lua_State* L, int t, int n);

// string.pack and string.unpack.
int StrPack(lua_State* L);
int StrUnpack(lua_State* L);

// The usual result of a system call: true, or nil, "[name: ]message", errno.
int PushSystemResult(lua_State* L, bool ok, const char* name);

}  // namespace tv_lua
