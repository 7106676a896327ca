#pragma once
// Tables: an array part for keys 1..n and a hash part with open addressing.

#include "core/lua/state.h"

namespace luai {

Table* newTable(lua_State* L, int narray, int lnhash);
void freeTable(lua_State* L, Table* t);
const TValue* tableGet(Table* t, const TValue* key);
const TValue* tableGetNum(Table* t, int key);
const TValue* tableGetStr(Table* t, TString* key);
// Slot for the key, created when missing; raises an error for a nil or NaN key.
TValue* tableSet(lua_State* L, Table* t, const TValue* key);
TValue* tableSetNum(lua_State* L, Table* t, int key);
TValue* tableSetStr(lua_State* L, Table* t, TString* key);
// Advances the traversal: the key at `key` becomes the next key and key+1 its value; false at the end.
bool tableNext(lua_State* L, Table* t, TValue* key);
// Length as the array-style functions count it: last non-nil integer key of the run from 1.
int tableGetN(Table* t);
size_t tableBytes(const Table* t);
inline int sizenode(const Table* t) { return 1 << t->lsizenode; }

}  // namespace luai
