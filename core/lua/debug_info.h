#pragma once
// Source lines, variable names for messages, and run-time errors.

#include "core/lua/state.h"

namespace luai {

int currentPC(lua_State* L, CallInfo* ci);
int currentLine(lua_State* L, CallInfo* ci);
inline int getLine(const Proto* p, int pc) { return p->lineinfo.empty() ? 0 : p->lineinfo[pc]; }
[[noreturn]] void runError(lua_State* L, const char* fmt, ...);
[[noreturn]] void typeError(lua_State* L, const TValue* o, const char* op);
[[noreturn]] void concatError(lua_State* L, const TValue* p1, const TValue* p2);
[[noreturn]] void arithError(lua_State* L, const TValue* p1, const TValue* p2);
[[noreturn]] void orderError(lua_State* L, const TValue* p1, const TValue* p2);
[[noreturn]] void errorMsg(lua_State* L);
// Checks a loaded prototype's code; false when it could misbehave.
bool verifyCode(const Proto* p);
const char* pushVFString(lua_State* L, const char* fmt, va_list argp);
const char* pushFString(lua_State* L, const char* fmt, ...);

}  // namespace luai
