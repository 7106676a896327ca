#pragma once
// The script methods of the quest set.

#include <lua.h>

// Stores the methods in the table on the top of the stack.
void QuestLuaAdd(lua_State* L);
