#pragma once
// The scene's script methods over its strings, stored in the table on the top of the stack:
//   local speaker, line = scene:grabspeechline("gardener_hello")
//   local text = scene:grabstring("sign")                    -- nil when there is none
//   local text = scene:grabformattedstring("coins", {3})    -- "" when there is none; at most five parameters
// Each reads its arguments from the top of the stack, so a colon or a dot call both work.

#include <lua.h>

class tSceneStrings;

void SceneStringsLuaAdd(lua_State* L, tSceneStrings* strings);

// The three over a given table, for objects that own one (the scene's methods): each
// returns its number of results.
int LuaGrabString(lua_State* L, tSceneStrings& strings);
int LuaGrabFormattedString(lua_State* L, tSceneStrings& strings);
int LuaGrabSpeechLine(lua_State* L, tSceneStrings& strings);
