#include "core/script/lua_object_wrapper.h"

#include "core/debug/debug_log.h"

TLuaObjectWrapper::TLuaObjectWrapper(lua_State* L) : mState(L)
{
    if (lua_gettop(L) < 1) {
        WriteDbg("TLuaObjectWrapper: nothing on the stack to hold");
        lua_pushnil(L);
    }
    lua_pushlightuserdata(L, this);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

TLuaObjectWrapper::~TLuaObjectWrapper()
{
    lua_pushlightuserdata(mState, this);
    lua_pushnil(mState);
    lua_rawset(mState, LUA_REGISTRYINDEX);
}

void TLuaObjectWrapper::Push() const
{
    lua_pushlightuserdata(mState, const_cast<TLuaObjectWrapper*>(this));
    lua_rawget(mState, LUA_REGISTRYINDEX);
}
