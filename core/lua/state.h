#pragma once
// Threads, call frames and the state shared by all threads.

#include "core/lua/mem_pool.h"
#include "core/lua/object.h"

#include <string>

namespace luai {

constexpr int kBasicStackSize = 2 * LUA_MINSTACK;
constexpr int kExtraStack = 5;
constexpr int kMaxStack = 1000000;   // slots per thread
constexpr int kMaxCalls = 200000;    // frames per thread
constexpr int kMaxCCalls = 200;      // nested C-level calls
constexpr int kBasicCISize = 8;
// allowhook while a finalizer runs: hooks that asked for LUA_MASKGC only.
constexpr uint8_t kFinalizerHooks = 2;

enum CallStatus : uint8_t {
  CIST_LUA = 1,     // running a script function
  CIST_FRESH = 2,   // the interpreter loop returns when this frame returns
  CIST_TAIL = 4,    // reached through a tail call
  CIST_YIELD = 8,   // a C function that yielded
  CIST_HOOKED = 16
};

struct CallInfo {
  TValue* func;
  TValue* base;
  TValue* top;  // top of this frame's registers
  const Instruction* savedpc;
  int nresults;
  int tailcalls;
  uint8_t callstatus;
};

struct StringTable {
  TString** hash = nullptr;
  uint32_t nuse = 0;
  uint32_t size = 0;
};

struct GlobalState {
  StringTable strt;
  GCObject* rootgc = nullptr;  // every collectable object except fixed strings... and threads
  GCObject* tmudata = nullptr;  // userdata waiting for __gc
  GCObject* weak = nullptr;     // weak tables found while marking
  GCObject* gray = nullptr;     // objects marked but not yet traversed
  size_t totalbytes = 0;
  size_t gcthreshold = 0;
  size_t memlimit = 0;  // 0: none (see mem_limit.h)
  std::string memerror;  // the message of a memory error on its way to the catching call
  int gcblock = 0;  // collection is postponed while non-zero
  int cdepth = 0;   // nested C-level calls over all threads
  int nprotect = 0;  // active protected calls; an error outside all of them is fatal
  TValue registry;
  lua_State* mainthread = nullptr;
  lua_CFunction panic = nullptr;
  lua_CFunction exitf = nullptr;  // os.exit's stand-in (lua_atexit)
  TString* tmname[TM_N];
  TString* fixedtext[2];  // texts the size functions look up on every call (see lib_support.h)
  Table* mt[NUM_TAGS];  // default metatable per type
  TValue mtv[NUM_TAGS];  // the same as values: the handler of every event for these types
  lua_Alloc frealloc = nullptr;  // null: the C library's allocator
  void* allocud = nullptr;
  // Requests up to SmallBlockPool::kMaxBlock come from `pool`; off while a host allocator must
  // see every request.
  bool usePool = false;
  SmallBlockPool pool;
  lua_Fatal fatal = nullptr;  // null: exit with status 1
  std::vector<char> buff;  // scratch buffer
};

}  // namespace luai

struct lua_State : luai::GCObject {
  luai::TValue* top;
  luai::TValue* base;
  luai::GlobalState* g;
  luai::CallInfo* ci;
  luai::TValue* stack_last;  // last usable slot (kExtraStack beyond remains)
  luai::TValue* stack;
  int stacksize;
  luai::CallInfo* base_ci;
  luai::CallInfo* end_ci;
  int size_ci;
  int nCcalls;       // C-level calls in this thread (yield is refused above baseCcalls)
  int baseCcalls;
  uint8_t hookmask;
  uint8_t allowhook;  // 0: none; kFinalizerHooks: only hooks with LUA_MASKGC
  uint8_t suspended;  // stopped in a yield
  uint8_t errored;    // a coroutine that ended in an error
  int basehookcount;
  int hookcount;
  lua_Hook hook;
  const luai::Instruction* oldpc;  // for line hooks
  luai::TValue gt;  // globals table
  luai::UpVal* openupval;
  luai::GCObject* gclist;
  ptrdiff_t errfunc;  // stack offset of the error handler, 0 for none
};

namespace luai {

inline GlobalState* G(lua_State* L) { return L->g; }
inline Table* gtable(lua_State* L) { return hvalue(&L->gt); }
inline Table* registry(lua_State* L) { return hvalue(&L->g->registry); }

// Stack handling.
void growStack(lua_State* L, int n);
inline void checkStack(lua_State* L, int n) {
  if (L->stack_last - L->top <= n) growStack(L, n);
}
inline ptrdiff_t savestack(lua_State* L, const TValue* p) { return reinterpret_cast<const char*>(p) - reinterpret_cast<const char*>(L->stack); }
inline TValue* restorestack(lua_State* L, ptrdiff_t n) { return reinterpret_cast<TValue*>(reinterpret_cast<char*>(L->stack) + n); }
void reallocStack(lua_State* L, int newsize);
CallInfo* growCI(lua_State* L);
inline CallInfo* nextCI(lua_State* L) { return (L->ci + 1 == L->end_ci) ? growCI(L) : ++L->ci; }

lua_State* newThread(lua_State* L);
void freeThread(lua_State* L, lua_State* L1);

inline void setDefaultMT(GlobalState* g, int tt, Table* mt) {
  g->mt[tt] = mt;
  if (mt) settable(&g->mtv[tt], mt);
  else setnil(&g->mtv[tt]);
}

// Memory accounting. The common case, a small block freed before, is inline; the rest
// (new chunks, large blocks, a host allocator, running out of memory) is in allocMemSlow.
void* allocMemSlow(lua_State* L, size_t size);
void freeMemSlow(lua_State* L, void* p, size_t size);
inline void* allocMem(lua_State* L, size_t size) {
  GlobalState* g = L->g;
  if (size - 1 < SmallBlockPool::kMaxBlock && g->usePool) {  // also sends size 0 to the slow path
    if (void* p = g->pool.reuse(size)) {
      g->totalbytes += size;
      return p;
    }
  }
  return allocMemSlow(L, size);
}
inline void freeMem(lua_State* L, void* p, size_t size) {
  GlobalState* g = L->g;
  if (size - 1 < SmallBlockPool::kMaxBlock && g->usePool && p != nullptr) {
    g->totalbytes -= size;
    g->pool.free(p, size);
    return;
  }
  freeMemSlow(L, p, size);
}

}  // namespace luai
