#pragma once
// Ties a coroutine to the script that runs on it: the coroutine is anchored in the parent
// state's registry while this lives, and reclaimed by the parent's collector afterwards. It
// never closes a state.

#include <lua.h>

class TLuaObjectWrapper;

class TLuaThread
{
public:
    // Takes ownership of the anchor.
    TLuaThread(TLuaObjectWrapper* anchor, lua_State* thread) : mAnchor(anchor), mThread(thread) {}
    virtual ~TLuaThread();
    TLuaThread(const TLuaThread&) = delete;
    TLuaThread& operator=(const TLuaThread&) = delete;

    lua_State* GetThread() const { return mThread; }

private:
    TLuaObjectWrapper* mAnchor;
    lua_State* mThread;
};
