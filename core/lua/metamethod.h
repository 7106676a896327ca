#pragma once
// Metamethod lookup.

#include "core/lua/state.h"

namespace luai {

void initTMNames(lua_State* L);
// Metamethod of an event in a metatable; null when absent (caching absence for the fast events).
const TValue* fastTM(lua_State* L, Table* mt, TMS event);
const TValue* getTMbyObj(lua_State* L, const TValue* o, TMS event);
Table* metatableOf(lua_State* L, const TValue* o);

}  // namespace luai
