#pragma once
// What the game's progress objects share in a script state: their globals ("game", the bags,
// the books, "quest", "sfx") are object tables of their classes, made in any state, and the
// argument readers of the methods that read the stack themselves.
//   SetWorldGlobal(lua, "quest", tQuestset::civ, &quests);

#include "core/script/df_lua.h"
#include "core/text/str.h"

class TLuaTable;
class tClassInfo;

// Sets the global `name` to a new object table of that class for object (the address the
// class's methods are called on). A state without the class method tables gets them first.
void SetWorldGlobal(dfLua& lua, const char* name, const tClassInfo& civ, void* object);

// A named text field of a table: Lua's conversion of it, "" when it has none.
str LuaFieldStr(const TLuaTable& table, const char* key);
