#include "core/lua/state.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/debug_info.h"
#include "core/lua/gc.h"
#include "core/lua/lexer.h"
#include "core/lua/lib_support.h"
#include "core/lua/metamethod.h"
#include "core/lua/str_table.h"
#include "core/lua/table.h"

namespace luai {

static void initStack(lua_State* L1, lua_State* L) {
  L1->stack = static_cast<TValue*>(allocMem(L, sizeof(TValue) * (kBasicStackSize + kExtraStack)));
  L1->stacksize = kBasicStackSize + kExtraStack;
  for (int i = 0; i < L1->stacksize; i++) setnil(&L1->stack[i]);
  L1->top = L1->stack;
  L1->stack_last = L1->stack + (L1->stacksize - kExtraStack) - 1;
  L1->base_ci = static_cast<CallInfo*>(allocMem(L, sizeof(CallInfo) * kBasicCISize));
  L1->size_ci = kBasicCISize;
  L1->ci = L1->base_ci;
  L1->end_ci = L1->base_ci + L1->size_ci;
  CallInfo* ci = L1->ci;
  ci->func = L1->top;
  setnil(L1->top++);  // slot for the function of the base frame
  L1->base = ci->base = L1->top;
  ci->top = L1->top + LUA_MINSTACK;
  ci->savedpc = nullptr;
  ci->nresults = 0;
  ci->tailcalls = 0;
  ci->callstatus = 0;
}

static void presetThread(lua_State* L, GlobalState* g) {
  L->g = g;
  L->stack = nullptr;
  L->stacksize = 0;
  L->top = L->base = nullptr;
  L->stack_last = nullptr;
  L->ci = L->base_ci = L->end_ci = nullptr;
  L->size_ci = 0;
  L->nCcalls = 0;
  L->baseCcalls = 0;
  L->hookmask = 0;
  L->allowhook = 1;
  L->suspended = 0;
  L->errored = 0;
  L->basehookcount = 0;
  L->hookcount = 0;
  L->hook = nullptr;
  L->oldpc = nullptr;
  setnil(&L->gt);
  L->openupval = nullptr;
  L->gclist = nullptr;
  L->errfunc = 0;
}

void reallocStack(lua_State* L, int newsize) {
  int realsize = newsize + 1 + kExtraStack;
  TValue* oldstack = L->stack;
  TValue* ns = static_cast<TValue*>(allocMem(L, sizeof(TValue) * realsize));
  int i = 0;
  for (; i < L->stacksize && i < realsize; i++) ns[i] = oldstack[i];
  for (; i < realsize; i++) setnil(&ns[i]);
  freeMem(L, oldstack, sizeof(TValue) * L->stacksize);
  L->stack = ns;
  L->stacksize = realsize;
  L->stack_last = ns + newsize;
  auto fix = [&](TValue* p) { return ns + (p - oldstack); };
  L->top = fix(L->top);
  L->base = fix(L->base);
  for (UpVal* up = L->openupval; up; up = up->opennext) up->v = fix(up->v);
  for (CallInfo* ci = L->base_ci; ci <= L->ci; ci++) {
    ci->top = fix(ci->top);
    ci->base = fix(ci->base);
    ci->func = fix(ci->func);
  }
}

void growStack(lua_State* L, int n) {
  int used = static_cast<int>(L->top - L->stack);
  if (used + n > kMaxStack) {
    if (L->stacksize - kExtraStack - 1 < kMaxStack + 200) {
      reallocStack(L, kMaxStack + 200 + kExtraStack);
      runError(L, "stack overflow");
    }
    throwError(L, LUA_ERRERR);
  }
  int cur = L->stacksize - kExtraStack - 1;
  reallocStack(L, n <= cur ? 2 * cur : cur + n);
}

CallInfo* growCI(lua_State* L) {
  if (L->size_ci > kMaxCalls + 100) throwError(L, LUA_ERRERR);
  int newsize = L->size_ci * 2;
  CallInfo* old = L->base_ci;
  CallInfo* nci = static_cast<CallInfo*>(allocMem(L, sizeof(CallInfo) * newsize));
  for (int i = 0; i < L->size_ci; i++) nci[i] = old[i];
  L->ci = nci + (L->ci - old);
  freeMem(L, old, sizeof(CallInfo) * L->size_ci);
  L->base_ci = nci;
  L->size_ci = newsize;
  L->end_ci = nci + newsize;
  ++L->ci;
  if (L->size_ci > kMaxCalls) {
    --L->ci;
    runError(L, "stack overflow");
  }
  return L->ci;
}

lua_State* newThread(lua_State* L) {
  lua_State* L1 = static_cast<lua_State*>(allocMem(L, sizeof(lua_State)));
  presetThread(L1, L->g);
  linkObject(L, L1, LUA_TTHREAD);
  initStack(L1, L);
  L1->gt = L->gt;
  L1->hookmask = L->hookmask;
  L1->basehookcount = L->basehookcount;
  L1->hook = L->hook;
  L1->hookcount = L1->basehookcount;
  return L1;
}

void freeThread(lua_State* L, lua_State* L1) {
  closeUpvals(L1, L1->stack);
  freeMem(L, L1->base_ci, sizeof(CallInfo) * L1->size_ci);
  freeMem(L, L1->stack, sizeof(TValue) * L1->stacksize);
  freeMem(L, L1, sizeof(lua_State));
}

}  // namespace luai

using namespace luai;

static void openState(lua_State* L, void*) {
  GlobalState* g = L->g;
  initStack(L, L);
  resizeStrTable(L, 64);
  settable(&L->gt, newTable(L, 0, 4));
  settable(&g->registry, newTable(L, 0, 2));
  // every type but nil gets its own empty default metatable; these share one table as their
  // metatable, which is its own
  Table* shared = newTable(L, 0, 0);
  shared->metatable = shared;
  for (int t = 1; t < NUM_TAGS; t++) {
    Table* mt = newTable(L, 0, 0);
    mt->metatable = shared;
    setDefaultMT(g, t, mt);
  }
  initTMNames(L);
  initLexer(L);
  const char* const fixed[] = {"n", tv_lua::kSizesKey};
  for (int i = 0; i < 2; i++) {
    g->fixedtext[i] = newStr(L, fixed[i]);
    g->fixedtext[i]->marked |= 2;  // fixed
  }
  setThreshold(L);
}

static std::atomic<int> liveStates{0};

LUA_API int lua_livestates(void) { return liveStates.load(); }

LUA_API lua_State* lua_open(void) { return lua_openwith(nullptr, nullptr, nullptr); }

LUA_API lua_State* lua_openwith(lua_Alloc alloc, void* ud, lua_Fatal fatal) {
  void* mem = alloc ? alloc(ud, nullptr, 0, sizeof(lua_State)) : std::malloc(sizeof(lua_State));
  lua_State* L = static_cast<lua_State*>(mem);
  if (L == nullptr) return nullptr;
  GlobalState* g = new (std::nothrow) GlobalState();
  if (g == nullptr) {
    if (alloc) alloc(ud, L, sizeof(lua_State), 0);
    else std::free(L);
    return nullptr;
  }
  g->frealloc = alloc;
  g->allocud = ud;
  g->usePool = alloc == nullptr && !kPoolUnderSanitizer;
  g->fatal = fatal;
  presetThread(L, g);
  L->tt = LUA_TTHREAD;
  L->marked = 0;
  L->gcnext = nullptr;
  g->mainthread = L;
  setnil(&g->registry);
  for (int i = 0; i < NUM_TAGS; i++) setDefaultMT(g, i, nullptr);
  for (int i = 0; i < TM_N; i++) g->tmname[i] = nullptr;
  for (TString*& s : g->fixedtext) s = nullptr;
  g->gcthreshold = ~size_t(0);
  g->totalbytes = sizeof(lua_State);
  g->nprotect = 1;
  try {
    openState(L, nullptr);
    g->nprotect = 0;
  } catch (...) {
    freeAll(L);
    return nullptr;
  }
  liveStates++;
  return L;
}

LUA_API void lua_close(lua_State* L) {
  L = L->g->mainthread;
  closeUpvals(L, L->stack);
  try {
    callGCTM(L);
  } catch (...) {
  }
  freeAll(L);
  liveStates--;
}
