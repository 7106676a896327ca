#pragma once
// Script objects of the game's progress: a table whose "this" field carries the compiled
// object, with the methods stored in it. Methods are called with a colon; arguments follow
// the object from index 2.

#include "core/text/str.h"

#include <lua.h>

// Pushes a new object table for object.
void PushWorldObject(lua_State* L, void* object);
// The compiled object of a method call (logged and null when the call carries none).
void* WorldSelf(lua_State* L, const char* method);
template <class T>
T* WorldSelf(lua_State* L, const char* method)
{
    return static_cast<T*>(WorldSelf(L, method));
}
// Stores function under name in the table on the top of the stack.
void SetWorldMethod(lua_State* L, const char* name, lua_CFunction function);

// Argument readers: Lua's own conversions, "" and 0 for what has none.
str LuaArgStr(lua_State* L, int index);
int LuaArgInt(lua_State* L, int index);

class TLuaTable;
// A named text field of a table: Lua's conversion of it, "" when it has none.
str LuaFieldStr(const TLuaTable& table, const char* key);
