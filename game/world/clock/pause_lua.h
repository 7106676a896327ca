#pragma once
// The script globals "EnterPause", "ExitPause" and "IsPaused" (the pause screen's script
// drives the pause through them).

#include <lua.h>

void BindPauseFunctions(lua_State* L);
