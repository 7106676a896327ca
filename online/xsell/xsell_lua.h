#pragma once
// The layout script's functions of the cross-sell window: SetupXSell() and LaunchGameLink(n),
// both acting on TXSellWindow::GetCurrent().

#include <lua.h>

void BindXSellFunctions(lua_State* L);
