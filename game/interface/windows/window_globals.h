#pragma once
// The Lua globals a window binds to reach itself. They go with the window: each one that still
// reaches it is set to nil, and a copy a script kept finds the window gone, logs it and does
// nothing. Every game window that binds globals holds one.
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
    explicit tWindowGlobals(TWindow* owner);
    ~tWindowGlobals() { Clear(); }
    tWindowGlobals(const tWindowGlobals&) = delete;
    tWindowGlobals& operator=(const tWindowGlobals&) = delete;

    // Sets the global in the window manager's script state; nothing without one.
    void Bind(const char* name, lua_CFunction function);
    // Sets to nil each bound global that still reaches the owner; kept copies stop reaching it.
    void Clear();
    // Inside a bound function: the window it was bound for (never null there).
    static TWindow* Owner(lua_State* L);

private:
    TWindow* mOwner;
    // What the bound functions hold instead of the window's address, which a closed window
    // would leave dangling; looked up among the live owners.
    double mToken;
    std::vector<str> mNames;
};

// Calls the script's global function `name` with the arguments that `push` leaves on the stack
// (it returns how many), the way the script runs any text: as a command inside the interface
// coroutine when that waits for a message. Texts thus reach the script as values, never as
// source. False, logged, when there is no script or no such function, or the call fails; a
// function that is not `required` may be missing: false then, quietly.
bool CallScriptFunction(const char* name, const std::function<int(lua_State*)>& push, bool required = true);
