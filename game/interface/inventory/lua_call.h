#pragma once
// Calls into the layout's Lua functions from windows: a failing call is shown to the player
// through GlobalLuaError with the place it came from, and the window goes on.

#include <lua.h>

// Calls the function below `args` arguments on the stack; true when it ran. The results stay
// on the stack; on failure nothing does.
bool CallReportingErrors(lua_State* L, int args, int results, const char* place);
