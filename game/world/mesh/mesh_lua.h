#pragma once
// Points cross into Lua as tables with number fields "x" and "y".

#include "core/script/df_lua.h"
#include "game/world/geometry/vector2.h"

// Not a table: logged, and (0, 0).
tVector2<float> Get(TypeWrapper<tVector2<float>>, dfLua& lua, int index);
void Put(dfLua& lua, const tVector2<float>& point);
