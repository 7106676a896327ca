#pragma once
// Mark-and-sweep collection with weak tables and __gc on userdata.

#include "core/lua/state.h"

namespace luai {

void linkObject(lua_State* L, GCObject* o, int tt);
void fullGC(lua_State* L);
inline void checkGC(lua_State* L) {
  GlobalState* g = L->g;
  if (g->totalbytes >= g->gcthreshold && g->gcblock == 0) fullGC(L);
}
void freeAll(lua_State* L);
// Calls __gc of every userdata pending finalisation.
void callGCTM(lua_State* L);
void setThreshold(lua_State* L);

// Blocks collection while in scope (used where new objects are not yet anchored).
struct GCBlock {
  GlobalState* g;
  explicit GCBlock(lua_State* L) : g(L->g) { ++g->gcblock; }
  ~GCBlock() { --g->gcblock; }
  GCBlock(const GCBlock&) = delete;
  GCBlock& operator=(const GCBlock&) = delete;
};

}  // namespace luai
