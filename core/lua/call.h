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
// Moves results starting at firstResult to the frame's function slot; returns whether the count was fixed.
void postcall(lua_State* L, TValue* firstResult);
// Calls the function at `func` with arguments up to top, from C level.
void callFunc(lua_State* L, TValue* func, int nresults);
// Runs f under protection; returns 0 or an error status (error value on top).
int pcallRaw(lua_State* L, void (*f)(lua_State*, void*), void* ud, ptrdiff_t oldtop, ptrdiff_t ef);
void callHook(lua_State* L, int event, int line);
void adjustVarargs(lua_State* L, int nfixed, TValue* base);
TValue* tryFuncTM(lua_State* L, TValue* func);
int resumeThread(lua_State* L, int nargs);
int doYield(lua_State* L, int nresults);

}  // namespace luai
