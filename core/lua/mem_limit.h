#pragma once
// A bound on the memory of one state and all its threads (lua_setmemlimit). A request that
// would pass it fails as a memory error whose message names the script and line that asked,
// so a runaway script is stopped before it takes the machine's memory.

#include "core/lua/state.h"

namespace luai {

// True when a request of `size` bytes passes the bound. Inside protected calls only: outside
// them a memory error would end the process.
inline bool passesMemLimit(const GlobalState* g, size_t size) {
  return g->memlimit != 0 && g->nprotect > 0 && (size > g->memlimit || g->totalbytes > g->memlimit - size);
}
[[noreturn]] void memLimitReached(lua_State* L);
// The message of the memory error being caught: the bound's, or "not enough memory".
TString* memErrorText(lua_State* L);

}  // namespace luai
