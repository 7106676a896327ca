#pragma once
// The Lua data that travels with a message posted by a script.

#include "core/script/lua_object_wrapper.h"

class TLuaMessage : public TLuaObjectWrapper
{
public:
    // Anchors the value on the top of the stack (pops it).
    explicit TLuaMessage(lua_State* L) : TLuaObjectWrapper(L) {}
    ~TLuaMessage() override = default;
};
