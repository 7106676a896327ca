#pragma once
// The sound front's script global for callers that hold a raw state.

#include <lua.h>

class tSFXManager;

// sfx.AddInstanceToLua on L.
void AddSFXToLua(tSFXManager& sfx, lua_State* L);
