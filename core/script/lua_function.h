#pragma once
// A Lua function held by compiled code (a callback); call it through Push and the Lua API.

#include "core/script/lua_object_wrapper.h"

class TLuaFunction : public TLuaObjectWrapper
{
public:
    // Anchors the function on the top of the stack (pops it).
    explicit TLuaFunction(lua_State* L) : TLuaObjectWrapper(L) {}
    ~TLuaFunction() override = default;
};
