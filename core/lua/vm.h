#pragma once
// The interpreter loop and the operations it shares with the API.

#include "core/lua/state.h"

namespace luai {

void execute(lua_State* L);
const TValue* toNumber(const TValue* obj, TValue* n);
bool toStringInPlace(lua_State* L, TValue* obj);
// The wide text of a number ("%.14g", each character widened).
TString* numberToWide(lua_State* L, lua_Number n);
void getTable(lua_State* L, const TValue* t, const TValue* key, TValue* val);
void setTable(lua_State* L, const TValue* t, const TValue* key, const TValue* val);
bool lessThan(lua_State* L, const TValue* l, const TValue* r);
bool equalObj(lua_State* L, const TValue* t1, const TValue* t2);
void concat(lua_State* L, int total, int last);
inline bool equalFast(lua_State* L, const TValue* a, const TValue* b) {
  if (a->tt != b->tt) return false;
  if (a->tt == LUA_TNUMBER) return a->v.n == b->v.n;
  if (a->tt == LUA_TTABLE || a->tt == LUA_TUSERDATA) return equalObj(L, a, b);
  return rawequalObj(a, b);
}

}  // namespace luai

// Replaces a number by its wide text; 1 when converted, 0 (value untouched) for anything else.
int luaV_towstring(lua_State* L, luai::TValue* obj);
