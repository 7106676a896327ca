#include "core/lua/call.h"

#include <cstdlib>

#include "core/lua/closure.h"
#include "core/lua/debug_info.h"
#include "core/lua/gc.h"
#include "core/lua/mem_limit.h"
#include "core/lua/metamethod.h"
#include "core/lua/str_table.h"
#include "core/lua/table.h"
#include "core/lua/vm.h"

namespace luai {

void throwError(lua_State* L, int status) {
  if (L->g->nprotect == 0) {
    if (L->g->panic) L->g->panic(L);
    if (L->g->fatal) L->g->fatal(L);
    std::exit(EXIT_FAILURE);
  }
  throw LuaError{status};
}

void setErrorObj(lua_State* L, int status, TValue* oldtop) {
  switch (status) {
    case LUA_ERRMEM: setstr(oldtop, memErrorText(L)); break;
    case LUA_ERRERR: setstr(oldtop, newStr(L, "error in error handling")); break;
    default: *oldtop = *(L->top - 1); break;
  }
  L->g->memerror.clear();
  L->top = oldtop + 1;
}

int pcallRaw(lua_State* L, void (*f)(lua_State*, void*), void* ud, ptrdiff_t oldtop, ptrdiff_t ef) {
  ptrdiff_t oldci = L->ci - L->base_ci;
  int oldnC = L->nCcalls;
  int oldcdepth = L->g->cdepth;
  uint8_t oldallowhook = L->allowhook;
  ptrdiff_t olderrfunc = L->errfunc;
  L->errfunc = ef;
  int status = 0;
  int oldprotect = L->g->nprotect++;
  try {
    f(L, ud);
  } catch (const LuaError& e) {
    status = e.status;
  } catch (const std::bad_alloc&) {
    status = LUA_ERRMEM;
  }
  L->g->nprotect = oldprotect;
  if (status != 0) {
    TValue* top = restorestack(L, oldtop);
    closeUpvals(L, top);
    try {
      setErrorObj(L, status, top);
    } catch (...) {
      setnil(top);
      L->top = top + 1;
    }
    L->nCcalls = oldnC;
    L->g->cdepth = oldcdepth;
    L->ci = L->base_ci + oldci;
    L->base = L->ci->base;
    L->allowhook = oldallowhook;
    if (status == LUA_ERRMEM) fullGC(L);  // what the failed call made goes before anything else asks
  }
  L->errfunc = olderrfunc;
  return status;
}

void callHook(lua_State* L, int event, int line) {
  lua_Hook hook = L->hook;
  const uint8_t allowed = L->allowhook;
  if (hook == nullptr || !allowed) return;
  if (allowed == kFinalizerHooks && !(L->hookmask & LUA_MASKGC)) return;
  ptrdiff_t top = savestack(L, L->top);
  ptrdiff_t citop = savestack(L, L->ci->top);
  lua_Debug ar;
  ar.event = event;
  ar.currentline = line;
  ar.i_ci = static_cast<int>(L->ci - L->base_ci);
  checkStack(L, LUA_MINSTACK);
  L->ci->top = L->top + LUA_MINSTACK;
  L->allowhook = 0;
  try {
    hook(L, &ar);
  } catch (...) {
    L->allowhook = allowed;
    throw;
  }
  L->allowhook = allowed;
  L->ci->top = restorestack(L, citop);
  L->top = restorestack(L, top);
}

void adjustVarargs(lua_State* L, int nfixed, TValue* base) {
  ptrdiff_t baser = savestack(L, base);
  int actual = static_cast<int>(L->top - base);
  if (actual < nfixed) {
    checkStack(L, nfixed - actual);
    base = restorestack(L, baser);
    for (; actual < nfixed; actual++) setnil(L->top++);
  }
  int nextra = actual - nfixed;
  Table* htab = newTable(L, nextra, 1);
  base = restorestack(L, baser);
  for (int i = 0; i < nextra; i++) htab->array[i] = base[nfixed + i];
  setnum(tableSetStr(L, htab, newStr(L, "n")), nextra);
  base = restorestack(L, baser);
  L->top = base + nfixed;
  settable(L->top, htab);
  L->top++;
  checkGC(L);  // a loop that only calls such functions makes garbage nothing else would collect
}

TValue* tryFuncTM(lua_State* L, TValue* func) {
  const TValue* tm = getTMbyObj(L, func, TM_CALL);
  if (!ttisfunction(tm)) typeError(L, func, "call");
  ptrdiff_t funcr = savestack(L, func);
  TValue tmv = *tm;
  checkStack(L, 1);
  func = restorestack(L, funcr);
  for (TValue* p = L->top; p > func; p--) *p = *(p - 1);
  L->top++;
  *func = tmv;
  return func;
}

namespace {

// Runs the C function at `func`: its results are in place on return.
[[gnu::always_inline]] inline PrecallResult precallC(lua_State* L, TValue* func, int nresults) {
  if (__builtin_expect(L->stack_last - L->top <= LUA_MINSTACK, 0)) {
    ptrdiff_t funcr = savestack(L, func);
    growStack(L, LUA_MINSTACK);
    func = restorestack(L, funcr);
  }
  lua_CFunction f = cclvalue(func)->f;
  CallInfo* ci = nextCI(L);
  ci->func = func;
  ci->base = func + 1;
  L->base = func + 1;
  ci->top = L->top + LUA_MINSTACK;
  ci->savedpc = nullptr;
  ci->nresults = nresults;
  ci->tailcalls = 0;
  ci->callstatus = 0;
  if (__builtin_expect(L->hookmask & LUA_MASKCALL, 0)) callHook(L, LUA_HOOKCALL, -1);
  int n = f(L);
  if (n < 0) return PCR_YIELD;
  postcall(L, L->top - n);
  return PCR_C;
}

// Script functions and callable objects.
[[gnu::noinline]] PrecallResult precallOther(lua_State* L, TValue* func, int nresults) {
  if (!ttisfunction(func)) return precall(L, tryFuncTM(L, func), nresults);
  ptrdiff_t funcr = savestack(L, func);
  Proto* p = lclvalue(func)->p;
  checkStack(L, p->maxstacksize);
  if (p->is_vararg) adjustVarargs(L, p->numparams, restorestack(L, funcr) + 1);
  CallInfo* ci = enterLua(L, restorestack(L, funcr), p, nresults);
  if (L->hookmask & LUA_MASKCALL) {
    ci->savedpc++;
    callHook(L, LUA_HOOKCALL, -1);
    ci->savedpc--;
  }
  return PCR_LUA;
}

}  // namespace

PrecallResult precall(lua_State* L, TValue* func, int nresults) {
  if (ttisfunction(func) && clvalue(func)->isC) return precallC(L, func, nresults);
  return precallOther(L, func, nresults);
}

TValue* returnHook(lua_State* L, TValue* firstResult) {
  ptrdiff_t fr = savestack(L, firstResult);
  callHook(L, LUA_HOOKRET, -1);
  // One "tail return" for every frame the tail calls folded away; counting down as they are
  // reported keeps the stack view the hook sees in step.
  if (L->ci->callstatus & CIST_LUA) {
    while (L->ci->tailcalls > 0) {
      if (--L->ci->tailcalls == 0) L->ci->callstatus &= static_cast<uint8_t>(~CIST_TAIL);
      callHook(L, LUA_HOOKTAILRET, -1);
    }
  }
  return restorestack(L, fr);
}

void tailCallHooked(lua_State* L, TValue* func) {
  // The call hook runs while the calling frame is still in place, as for any call, so it sees
  // who made the call; the new frame then takes the caller's place.
  ptrdiff_t oldci = L->ci - L->base_ci;
  int nresults = L->ci->nresults;
  uint8_t fresh = L->ci->callstatus & CIST_FRESH;
  int tailcalls = L->ci->tailcalls;
  precall(L, func, nresults);  // a script function: its frame is open above the caller's
  CallInfo* nci = L->ci;
  CallInfo* oci = L->base_ci + oldci;
  TValue* to = oci->func;
  ptrdiff_t delta = nci->func - to;
  for (TValue* p = nci->func; p < L->top; p++) *(p - delta) = *p;
  *oci = *nci;
  oci->func -= delta;
  oci->base -= delta;
  oci->top -= delta;
  oci->nresults = nresults;
  oci->callstatus |= static_cast<uint8_t>(fresh | CIST_TAIL);
  oci->tailcalls = tailcalls + 1;
  L->ci = oci;
  L->base = oci->base;
  L->top = oci->top;
}

void callFunc(lua_State* L, TValue* func, int nresults) {
  GlobalState* g = L->g;
  if (++g->cdepth >= kMaxCCalls) {
    if (g->cdepth == kMaxCCalls) {
      ++L->nCcalls;
      runError(L, "C stack overflow");
    }
    if (g->cdepth >= kMaxCCalls + (kMaxCCalls >> 3)) throwError(L, LUA_ERRERR);
  }
  ++L->nCcalls;
  if (precall(L, func, nresults) == PCR_LUA) {
    L->ci->callstatus |= CIST_FRESH;
    execute(L);
  }
  --L->nCcalls;
  --g->cdepth;
  checkGC(L);
}

static void resumeBody(lua_State* L, int nargs) {
  if (!L->suspended) {
    TValue* func = L->top - nargs - 1;
    PrecallResult r = precall(L, func, LUA_MULTRET);
    if (r != PCR_LUA) return;
    L->ci->callstatus |= CIST_FRESH;
  } else {
    L->suspended = 0;
    CallInfo* ci = L->ci;
    int wanted = ci->nresults;
    ci->callstatus &= static_cast<uint8_t>(~CIST_YIELD);
    postcall(L, L->top - nargs);
    if (!(L->ci->callstatus & CIST_LUA)) return;  // the yielding function was the coroutine's body
    if (wanted >= 0) L->top = L->ci->top;
  }
  execute(L);
}

int resumeThread(lua_State* L, int nargs) {
  GlobalState* g = L->g;
  int oldbase = L->baseCcalls;
  int oldnC = L->nCcalls;
  int oldcdepth = g->cdepth;
  ptrdiff_t olderrfunc = L->errfunc;
  if (g->cdepth >= kMaxCCalls) {
    L->top -= nargs;
    setstr(L->top, newStr(L, "C stack overflow"));
    L->top++;
    return LUA_ERRRUN;
  }
  ++g->cdepth;
  L->baseCcalls = ++L->nCcalls;
  L->errfunc = 0;
  int status = 0;
  int oldprotect = g->nprotect++;
  try {
    resumeBody(L, nargs);
  } catch (const LuaError& e) {
    status = e.status;
  } catch (const std::bad_alloc&) {
    status = LUA_ERRMEM;
  }
  g->nprotect = oldprotect;
  if (status != 0) {
    L->suspended = 0;
    L->errored = 1;
    L->ci = L->base_ci;
    L->base = L->ci->base;
    closeUpvals(L, L->base);
    try {
      setErrorObj(L, status, L->base);
    } catch (...) {
      setnil(L->base);
      L->top = L->base + 1;
    }
    L->allowhook = 1;
    if (status == LUA_ERRMEM) fullGC(L);
  }
  L->nCcalls = oldnC;
  L->baseCcalls = oldbase;
  g->cdepth = oldcdepth;
  L->errfunc = olderrfunc;
  return status;
}

}  // namespace luai
