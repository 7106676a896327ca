#pragma once
// The sound front as the script global "sfx".

#include <lua.h>

class tSFXManager;

void AddSFXToLua(tSFXManager& sfx, lua_State* L);
// Stores the methods of "sfx" in the table on the top of the stack.
void SFXLuaAdd(lua_State* L);
