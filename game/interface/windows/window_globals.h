#pragma once
// The Lua globals a window binds to reach itself (a C function with the window as its first
// upvalue). They go with the window: each one that still reaches it is set to nil, so a later
// call cannot reach a destroyed window. Every game window that binds globals holds one.
//   mGlobals.Bind("SetWelcomeName", &SetWelcomeNameLua);
//   static int SetWelcomeNameLua(lua_State* L) { auto* w = tWindowGlobals::Owner(L); ... }

#include <lua.h>

#include <functional>
#include <vector>

#include "core/text/str.h"

class TWindow;

class tWindowGlobals
{
public:
    explicit tWindowGlobals(TWindow* owner) : mOwner(owner) {}
    ~tWindowGlobals() { Clear(); }
    tWindowGlobals(const tWindowGlobals&) = delete;
    tWindowGlobals& operator=(const tWindowGlobals&) = delete;

    // Sets the global in the window manager's script state; nothing without one.
    void Bind(const char* name, lua_CFunction function);
    // Sets to nil each bound global that still reaches the owner.
    void Clear();
    // Inside a bound function: the window it was bound for.
    static TWindow* Owner(lua_State* L);

private:
    TWindow* mOwner;
    std::vector<str> mNames;
};

// Calls the script's global function `name` with the arguments that `push` leaves on the stack
// (it returns how many), the way the script runs any text: as a command inside the interface
// coroutine when that waits for a message. Texts thus reach the script as values, never as
// source. False, logged, when there is no script or no such function, or the call fails.
bool CallScriptFunction(const char* name, const std::function<int(lua_State*)>& push);
