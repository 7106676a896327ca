#include "online/xsell/xsell_lua.h"

#include "core/debug/debug_log.h"
#include "online/xsell/xsell_window.h"

namespace {

int LuaSetupXSell(lua_State*)
{
    if (TXSellWindow* window = TXSellWindow::GetCurrent())
        window->SetupXSell();
    else
        WriteDbg("SetupXSell: no cross-sell window");
    return 0;
}

int LuaLaunchGameLink(lua_State* L)
{
    if (lua_gettop(L) < 1 || !lua_isnumber(L, 1)) {
        WriteDbg("LaunchGameLink: expects the number of a link");
        return 0;
    }
    const lua_Number n = lua_tonumber(L, 1);
    TXSellWindow* window = TXSellWindow::GetCurrent();
    if (!window)
        WriteDbg("LaunchGameLink: no cross-sell window");
    else if (!(n >= 0 && n <= TXSellWindow::kMaxGames))  // NaN too
        WriteDbg("LaunchGameLink: no link %g", static_cast<double>(n));
    else {
        // Whether a browser started, and the address, so that the page can say where it leads.
        const int link = static_cast<int>(n);
        lua_pushboolean(L, window->LaunchGameLink(link));
        lua_pushstring(L, window->GetLink(link).c_str());
        return 2;
    }
    return 0;
}

}  // namespace

void BindXSellFunctions(lua_State* L)
{
    if (!L)
        return;
    lua_register(L, "SetupXSell", &LuaSetupXSell);
    lua_register(L, "LaunchGameLink", &LuaLaunchGameLink);
}
