#include "game/world/actor/actor_handlers.h"

#include "core/script/lua_stack_guard.h"
#include "game/script/df_lua_obj.h"
#include "game/script/lua_error.h"

namespace {

// Calls the function on top of the stack.
std::optional<int> CallPushed(dfLua& lua, const char* where, const tPushArgs& args)
{
    lua_State* L = lua.GetState();
    const int count = args ? args(L) : 0;
    if (lua_pcall(L, count, 1, 0) != 0) {
        const char* message = lua_tostring(L, -1);
        // The message already names the script and line; the failed call left no frame to ask.
        GlobalLuaError(where, str(message ? message : ""));
        return std::nullopt;
    }
    return lua.tointeger(-1);
}

}  // namespace

void PushObjectTable(dfLua& lua, dfLuaTable* object)
{
    if (object)
        object->PushSelfOnto(lua);
    else
        lua_pushnil(lua.GetState());
}

std::optional<int> CallTableHandler(dfLua& lua, dfLuaTable* object, const char* field, const char* where,
                                    const tPushArgs& args)
{
    lua_State* L = lua.GetState();
    if (!L || !object)
        return std::nullopt;
    TLuaStackGuard guard(L);
    object->PushSelfOnto(lua);
    if (!lua_istable(L, -1))
        return std::nullopt;
    lua_pushstring(L, field);
    lua_gettable(L, -2);
    if (!lua_isfunction(L, -1))
        return std::nullopt;
    return CallPushed(lua, where, args);
}

std::optional<int> CallGlobalHandler(dfLua& lua, const char* name, const char* where, const tPushArgs& args)
{
    lua_State* L = lua.GetState();
    if (!L)
        return std::nullopt;
    TLuaStackGuard guard(L);
    lua_getglobal(L, name);
    if (!lua_isfunction(L, -1))
        return std::nullopt;
    return CallPushed(lua, where, args);
}
