#pragma once
// Text of a Lua value for log lines: strings and numbers as Lua writes them, anything else
// (an error raised with a table, say) by its type, so a log line never takes a null text.

#include <lua.h>

#include "core/text/str.h"

str LuaValueText(lua_State* L, int index);
