#pragma once
// The game state's script globals for callers that hold a raw state.

#include <lua.h>

class tGamestate;

// state.AddInstanceToLua on L.
void AddInstanceToLua(tGamestate& state, lua_State* L);
