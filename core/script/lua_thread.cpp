#include "core/script/lua_thread.h"

#include "core/script/lua_object_wrapper.h"

TLuaThread::~TLuaThread()
{
    delete mAnchor;
}
