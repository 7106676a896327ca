#pragma once
// The Lua function "SendDiaryMessage" that the diary windows bind to themselves: the buttons
// of a diary layout call it with what was pressed.
//   Button{ name = "next", command = function() SendDiaryMessage("go_right") end }

#include <lua.h>

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

template <class W>
int LuaSendDiaryMessage(lua_State* L)
{
    W* window = GetCast<W>(tWindowGlobals::Owner(L));
    const char* message = lua_type(L, 1) == LUA_TSTRING ? lua_tostring(L, 1) : "";
    if (window)
        window->SendDiaryMessage(message);
    return 0;
}
