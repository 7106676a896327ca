#include "ui/window/carried_message.h"

#include "core/script/lua_message_wrapper.h"
#include "core/script/message_lua.h"

TMessage* CarriedMessage(TMessage* message)
{
    if (!message || !message->IsKindOf(TLuaMessageWrapper::ClassId()))
        return message;
    const TLuaMessage& data = static_cast<TLuaMessageWrapper*>(message)->GetLuaData();
    lua_State* L = data.GetState();
    if (!L)
        return message;
    data.Push();
    TMessage* carried = ToMessage(L, -1);
    lua_pop(L, 1);
    return carried ? carried : message;
}
