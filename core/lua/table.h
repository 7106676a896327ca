#pragma once
// Tables: an array part for keys 1..n and a hash part with open addressing.

#include "core/lua/state.h"

namespace luai {

Table* newTable(lua_State* L, int narray, int lnhash);
void freeTable(lua_State* L, Table* t);
// An integer key outside the array part.
const TValue* tableGetNumHashed(Table* t, int key);
inline const TValue* tableGetNum(Table* t, int key) {
  if (static_cast<unsigned>(key - 1) < static_cast<unsigned>(t->sizearray)) return &t->array[key - 1];
  return tableGetNumHashed(t, key);
}
// Keys that are neither interned text nor an index into the array part.
const TValue* tableGetOther(Table* t, const TValue* key);
// Slot for the key, created when missing; raises an error for a nil or NaN key.
TValue* tableSet(lua_State* L, Table* t, const TValue* key);
// The same for a key that tableGet answered with the shared nil (no slot).
TValue* tableSetAbsent(lua_State* L, Table* t, const TValue* key);
TValue* tableSetNum(lua_State* L, Table* t, int key);
TValue* tableSetStr(lua_State* L, Table* t, TString* key);
// Advances the traversal: the key at `key` becomes the next key and key+1 its value; false at the end.
bool tableNext(lua_State* L, Table* t, TValue* key);
// Length as the array-style functions count it: last non-nil integer key of the run from 1.
int tableGetN(Table* t);
// How many of t[1], t[2], ... are not nil before the first nil.
int tableCountRun(Table* t);
size_t tableBytes(const Table* t);
inline int sizenode(const Table* t) { return 1 << t->lsizenode; }

// Spreads the text hash over the slots: neighbouring names hash to neighbouring values, which
// open addressing would otherwise pile into one run.
inline uint32_t strSlotHash(uint32_t h) {
  h *= 0x9E3779B1u;
  return h ^ (h >> 16);
}

inline const TValue* tableGetStr(Table* t, TString* key) {
  uint32_t mask = (1u << t->lsizenode) - 1;
  Node* node = t->node;
  for (uint32_t i = strSlotHash(key->hash) & mask;; i = (i + 1) & mask) {
    Node* n = &node[i];
    if (n->key.tt == LUA_TSTRING) {
      if (n->key.v.gc == key) return &n->val;
    } else if (n->key.tt == LUA_TNIL) {
      return &nilobject;
    }
  }
}

inline const TValue* tableGet(Table* t, const TValue* key) {
  if (key->tt == LUA_TSTRING) return tableGetStr(t, tsvalue(key));
  if (key->tt == LUA_TNUMBER) {
    lua_Number n = key->v.n;
    int k = (n >= 1 && n <= 2147483647.0) ? static_cast<int>(n) : 0;
    if (static_cast<lua_Number>(k) == n && static_cast<unsigned>(k - 1) < static_cast<unsigned>(t->sizearray))
      return &t->array[k - 1];
  }
  return tableGetOther(t, key);
}

}  // namespace luai
