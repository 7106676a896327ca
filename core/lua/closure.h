#pragma once
// Closures, prototypes and upvalues.

#include "core/lua/state.h"

namespace luai {

Proto* newProto(lua_State* L);
void freeProto(lua_State* L, Proto* p);
CClosure* newCClosure(lua_State* L, int nup, Table* env);
LClosure* newLClosure(lua_State* L, int nup, Table* env);
void freeClosure(lua_State* L, Closure* c);
UpVal* findUpval(lua_State* L, TValue* level);
void closeUpvals(lua_State* L, TValue* level);
void freeUpval(lua_State* L, UpVal* uv);
// Name of the n-th local (1-based) active at pc, or null.
const char* getLocalName(const Proto* p, int n, int pc);
inline size_t cclosureSize(int n) { return sizeof(CClosure) + sizeof(TValue) * (n > 0 ? n - 1 : 0); }
inline size_t lclosureSize(int n) { return sizeof(LClosure) + sizeof(UpVal*) * (n > 0 ? n - 1 : 0); }

}  // namespace luai
