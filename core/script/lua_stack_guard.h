#pragma once
// Puts the stack of a Lua state back to the height it had when the guard was made, also when
// a Lua error unwinds through the caller. It only ever lowers the stack.
//   TLuaStackGuard guard(L);
//   lua_gettable(L, -2);   // may raise

#include <lua.h>

class TLuaStackGuard
{
public:
    explicit TLuaStackGuard(lua_State* L) : mState(L), mHeight(lua_gettop(L)) {}
    ~TLuaStackGuard()
    {
        if (!mDismissed && lua_gettop(mState) > mHeight)
            lua_settop(mState, mHeight);
    }
    TLuaStackGuard(const TLuaStackGuard&) = delete;
    TLuaStackGuard& operator=(const TLuaStackGuard&) = delete;

    int Height() const { return mHeight; }
    // The caller keeps what it pushed.
    void Dismiss() { mDismissed = true; }

private:
    lua_State* mState;
    int mHeight;
    bool mDismissed = false;
};
