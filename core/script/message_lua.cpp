#include "core/script/message_lua.h"

#include <cstring>

#include "core/script/df_lua.h"
#include "core/script/message.h"

namespace {

const char kMetatableKey[] = "zvMessageMetatable";

void PushMetatable(lua_State* L)
{
    lua_pushstring(L, kMetatableKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

}  // namespace

// The collector hands "__gc" the box itself.
TMessage* Get(TypeWrapper<TMessage*>, dfLua& lua, int index)
{
    return ToMessage(lua.GetState(), index);
}

void CreateMessageMetatable(lua_State* L)
{
    PushMetatable(L);
    const bool exists = lua_istable(L, -1);
    lua_pop(L, 1);
    if (exists)
        return;
    lua_pushstring(L, kMetatableKey);
    lua_newtable(L);
    dfLua lua(L);
    lua_pushstring(L, "__gc");
    lua.pushfunction(&DeleteMessage);
    lua_rawset(L, -3);
    lua_pushstring(L, "__index");
    lua_pushcfunction(L, &IndexMessage);
    lua_rawset(L, -3);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void PushMessage(lua_State* L, TMessage* message)
{
    if (!message) {
        lua_pushnil(L);
        return;
    }
    CreateMessageMetatable(L);
    // A box: lua_touserdata gives the message itself, as game code reads it.
    lua_newuserdatabox(L, message);
    PushMetatable(L);
    lua_setmetatable(L, -2);
}

TMessage* ToMessage(lua_State* L, int index)
{
    if (lua_type(L, index) != LUA_TUSERDATA)
        return nullptr;
    void* held = lua_touserdata(L, index);
    if (!held || !lua_getmetatable(L, index))
        return nullptr;
    PushMetatable(L);
    const bool isMessage = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    return isMessage ? static_cast<TMessage*>(held) : nullptr;
}

void DeleteMessage(TMessage* message)
{
    delete message;
}

int IndexMessage(lua_State* L)
{
    TMessage* message = ToMessage(L, 1);
    if (!message)
        return 0;
    // Keys that are not text (a table, say) name no field.
    const char* key = lua_type(L, 2) == LUA_TSTRING ? lua_tostring(L, 2) : nullptr;
    if (key && std::strcmp(key, "type") == 0)
        lua_pushnumber(L, message->GetType());
    else if (key && std::strcmp(key, "name") == 0)
        lua_pushlstring(L, message->GetName().c_str(), message->GetName().length());
    else
        lua_pushnil(L);
    return 1;
}
