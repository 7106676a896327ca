#include "game/interface/inventory/lua_call.h"

#include "game/script/lua_error.h"

bool CallReportingErrors(lua_State* L, int args, int results, const char* place)
{
    if (lua_pcall(L, args, results, 0) == 0)
        return true;
    const char* message = lua_tostring(L, -1);
    const str text = message ? str(message) : str("(error without a message)");
    lua_pop(L, 1);
    GlobalLuaError(place, text);
    return false;
}
