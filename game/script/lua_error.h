#pragma once
// Script errors found while a script calls compiled code are shown to the player: the
// "scripts/ok.lua" dialog with the message and where it happened. The texts reach the
// dialog as Lua values, never as Lua source.
//   GlobalLuaError(lua, "Missing base object in Lua function call", "Called Function Walk");

#include "core/script/df_lua.h"
#include "core/text/str.h"

// Adds the calling script's file and line to the message.
void GlobalLuaError(dfLua& lua, const char* where, const str& message);
void GlobalLuaError(const char* where, const str& message);

// Makes GlobalLuaError the report of the engine's dispatchers.
void InstallGlobalLuaError();
