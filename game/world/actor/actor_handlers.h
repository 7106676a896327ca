#pragma once
// Runs actors' script handlers from compiled code: a function kept in a field of an actor's
// table (on_click, on_arrive, on_collide, ...) or a global one (on_use_inv), called on a given
// Lua state with the arguments the caller pushes and one result. A failing handler is shown to
// the player under the given place and answers nothing.
//   auto answer = CallTableHandler(lua, target->GetLuaObj(), "on_arrive", "on_arrive",
//                                  [&](lua_State* L) { return PushTables(L, walker, target); });

#include "core/script/df_lua.h"

#include <functional>
#include <optional>

class dfLuaTable;

// Pushes a call's arguments; returns how many.
using tPushArgs = std::function<int(lua_State* L)>;

// The handler's result as an integer; none when there is no function to call or it failed.
std::optional<int> CallTableHandler(dfLua& lua, dfLuaTable* object, const char* field, const char* where,
                                    const tPushArgs& args);
std::optional<int> CallGlobalHandler(dfLua& lua, const char* name, const char* where, const tPushArgs& args);

// Pushes an object's table onto `lua`'s state, nil without one.
void PushObjectTable(dfLua& lua, dfLuaTable* object);
