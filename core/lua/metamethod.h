#pragma once
// Metamethod lookup.

#include "core/lua/state.h"

namespace luai {

void initTMNames(lua_State* L);
// Metamethod of an event in a metatable; null when absent (caching absence for the fast events).
const TValue* lookupTM(lua_State* L, Table* mt, TMS event);
inline const TValue* fastTM(lua_State* L, Table* mt, TMS event) {
  if (mt == nullptr) return nullptr;
  if (event <= TM_EQ && (mt->flags & (1u << event))) return nullptr;
  return lookupTM(L, mt, event);
}
const TValue* getTMbyObj(lua_State* L, const TValue* o, TMS event);
Table* metatableOf(lua_State* L, const TValue* o);

}  // namespace luai
