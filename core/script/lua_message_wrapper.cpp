#include "core/script/lua_message_wrapper.h"

TLuaMessageWrapper::TLuaMessageWrapper(int32_t type, const str& name, TWindow* target, lua_State* L)
    : TMessage(type, name, target), mLuaData(L)
{
}
