#pragma once
// The game's progress objects in a script state: "game", the bags "BAG_INV" and "BAG_MAGIC",
// the books "BOOK_PRI", "BOOK_SEC", "BOOK_EDU" and "quest".

#include <lua.h>

class tGamestate;

void AddInstanceToLua(tGamestate& state, lua_State* L);
// Stores the methods of "game" in the table on the top of the stack.
void GamestateLuaAdd(lua_State* L);
