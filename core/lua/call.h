#pragma once
// Calls, returns, protected execution, errors and coroutines.

#include <new>

#include "core/lua/state.h"

namespace luai {

// Thrown to unwind to the nearest protected call; the error value is on the top of the stack.
struct LuaError {
  int status;
};

[[noreturn]] void throwError(lua_State* L, int status);
// Places the standard message for a status at `oldtop`.
void setErrorObj(lua_State* L, int status, TValue* oldtop);

enum PrecallResult { PCR_LUA, PCR_C, PCR_YIELD };
// Prepares a call of the function at `func`; for script functions the new frame is set up,
// for C functions the call runs and its results are in place.
PrecallResult precall(lua_State* L, TValue* func, int nresults);
// Opens the frame of a script function whose stack room is already checked and whose
// arguments need no adjusting.
inline CallInfo* enterLua(lua_State* L, TValue* func, const Proto* p, int nresults) {
  CallInfo* ci = nextCI(L);
  ci->func = func;
  ci->base = func + 1;
  L->base = ci->base;
  ci->top = ci->base + p->maxstacksize;
  ci->savedpc = p->code.data();
  ci->nresults = nresults;
  ci->tailcalls = 0;
  ci->callstatus = CIST_LUA;
  for (TValue* st = L->top; st < ci->top; st++) setnil(st);
  L->top = ci->top;
  return ci;
}
TValue* returnHook(lua_State* L, TValue* firstResult);
// A tail call of a script function made while call events are hooked.
void tailCallHooked(lua_State* L, TValue* func);
// Moves results starting at firstResult to the frame's function slot.
inline void postcall(lua_State* L, TValue* firstResult) {
  if (L->hookmask & LUA_MASKRET) firstResult = returnHook(L, firstResult);
  CallInfo* ci = L->ci;
  TValue* res = ci->func;
  int wanted = ci->nresults;
  L->ci = ci - 1;
  L->base = L->ci->base;
  int i = wanted;
  while (i != 0 && firstResult < L->top) {
    *res++ = *firstResult++;
    i--;
  }
  while (i-- > 0) setnil(res++);
  L->top = res;
}
// Calls the function at `func` with arguments up to top, from C level.
void callFunc(lua_State* L, TValue* func, int nresults);
// Runs f under protection; returns 0 or an error status (error value on top).
int pcallRaw(lua_State* L, void (*f)(lua_State*, void*), void* ud, ptrdiff_t oldtop, ptrdiff_t ef);
void callHook(lua_State* L, int event, int line);
void adjustVarargs(lua_State* L, int nfixed, TValue* base);
TValue* tryFuncTM(lua_State* L, TValue* func);
int resumeThread(lua_State* L, int nargs);

}  // namespace luai
