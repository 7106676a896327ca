#pragma once
// Interned strings.

#include "core/lua/state.h"

namespace luai {

TString* newLStr(lua_State* L, const char* s, size_t len);
inline TString* newStr(lua_State* L, const char* s) { return newLStr(L, s, std::strlen(s)); }
// Interned wide string of `len` 16-bit units.
TString* newLWStr(lua_State* L, const uint16_t* s, size_t len);
size_t stringBytes(const TString* ts);
void resizeStrTable(lua_State* L, uint32_t newsize);
void freeString(lua_State* L, TString* ts);
Udata* newUdata(lua_State* L, size_t size);

}  // namespace luai
