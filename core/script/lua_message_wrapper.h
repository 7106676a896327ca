#pragma once
// A message posted by Lua code, carrying the script's own data along with it.

#include "core/script/lua_message.h"
#include "core/script/message.h"

class TLuaMessageWrapper : public TMessage
{
    TV_CLASS(TLuaMessageWrapper, TMessage)

public:
    // Anchors the value on the top of the stack of L (pops it) as the message's data.
    TLuaMessageWrapper(int32_t type, const str& name, TWindow* target, lua_State* L);
    ~TLuaMessageWrapper() override = default;

    const TLuaMessage& GetLuaData() const { return mLuaData; }

private:
    TLuaMessage mLuaData;
};
