#pragma once
// Holds a Lua value on behalf of compiled code: the value is anchored in the registry of its
// state under the wrapper's own address for as long as the wrapper lives. A wrapper must be
// destroyed while its state is open.
//   lua_getglobal(L, "settings");
//   TLuaObjectWrapper held(L);   // pops the value
//   held.Push();                 // pushes it back

#include <lua.h>

class TLuaObjectWrapper
{
public:
    // Pops the value on the top of the stack and anchors it (nil when the stack is empty).
    explicit TLuaObjectWrapper(lua_State* L);
    virtual ~TLuaObjectWrapper();
    TLuaObjectWrapper(const TLuaObjectWrapper&) = delete;
    TLuaObjectWrapper& operator=(const TLuaObjectWrapper&) = delete;

    void Push() const;
    lua_State* GetState() const { return mState; }

private:
    lua_State* mState;
};
