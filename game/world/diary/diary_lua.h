#pragma once
// The script methods of a diary book.

#include <lua.h>

// Stores the methods in the table on the top of the stack.
void DiaryLuaAdd(lua_State* L);
