#pragma once
// A colour stored in Lua as an array: elements 1 to 4 are red, green, blue and alpha.

#include <lua.h>

#include "core/math/color.h"

// Reads the table at `index` (a missing or non-numeric element reads 0; a value that is not
// a table gives all zero). The stack is left as it was.
TColor ReadColorElements(lua_State* L, int index);
