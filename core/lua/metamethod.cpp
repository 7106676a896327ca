#include "core/lua/metamethod.h"

#include "core/lua/str_table.h"
#include "core/lua/table.h"

namespace luai {

void initTMNames(lua_State* L) {
  static const char* const names[TM_N] = {"__index", "__newindex", "__gc", "__mode", "__eq",
                                          "__add", "__sub", "__mul", "__div", "__pow",
                                          "__unm", "__lt", "__le", "__concat", "__call"};
  for (int i = 0; i < TM_N; i++) {
    L->g->tmname[i] = newStr(L, names[i]);
    L->g->tmname[i]->marked |= 2;  // fixed
  }
}

const TValue* lookupTM(lua_State* L, Table* mt, TMS event) {
  const TValue* tm = tableGetStr(mt, L->g->tmname[event]);
  if (ttisnil(tm)) {
    if (event <= TM_EQ) mt->flags |= static_cast<uint8_t>(1u << event);
    return nullptr;
  }
  return tm;
}

Table* metatableOf(lua_State* L, const TValue* o) {
  switch (o->tt) {
    case LUA_TTABLE: return hvalue(o)->metatable;
    case LUA_TUSERDATA: return uvalue(o)->metatable;
    default: return o->tt < NUM_TAGS ? L->g->mt[o->tt] : nullptr;
  }
}

const TValue* getTMbyObj(lua_State* L, const TValue* o, TMS event) {
  // every other type has its default metatable itself as the handler of every event
  if (o->tt != LUA_TTABLE && o->tt != LUA_TUSERDATA) return o->tt < NUM_TAGS ? &L->g->mtv[o->tt] : &nilobject;
  Table* mt = metatableOf(L, o);
  if (mt == nullptr) return &nilobject;
  const TValue* tm = fastTM(L, mt, event);
  return tm ? tm : &nilobject;
}

}  // namespace luai
