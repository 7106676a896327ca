#pragma once
// The script methods of a bag.

#include <lua.h>

class tInventory;

// Stores the bag's methods in the table on the top of the stack.
void InventoryLuaAdd(lua_State* L);
// "AddInventory": an item table and an optional announce flag (default true) after it.
int lf_AddInventory(tInventory& bag, lua_State* L);
