#include "game/interface/windows/window_globals.h"

#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

lua_State* ScriptState()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    return script ? script->GetState() : nullptr;
}

// Whether the value on top is a C function bound for `owner`.
bool ReachesOwner(lua_State* L, TWindow* owner)
{
    if (!lua_iscfunction(L, -1) || !lua_getupvalue(L, -1, 1))
        return false;
    const bool same = lua_touserdata(L, -1) == owner;
    lua_pop(L, 1);
    return same;
}

}  // namespace

void tWindowGlobals::Bind(const char* name, lua_CFunction function)
{
    lua_State* L = ScriptState();
    if (!L)
        return;
    lua_pushlightuserdata(L, mOwner);
    lua_pushcclosure(L, function, 1);
    lua_setglobal(L, name);
    mNames.push_back(name);
}

void tWindowGlobals::Clear()
{
    lua_State* L = ScriptState();
    if (L) {
        for (const str& name : mNames) {
            lua_getglobal(L, name.c_str());
            const bool reaches = ReachesOwner(L, mOwner);
            lua_pop(L, 1);
            if (reaches) {
                lua_pushnil(L);
                lua_setglobal(L, name.c_str());
            }
        }
    }
    mNames.clear();
}

TWindow* tWindowGlobals::Owner(lua_State* L)
{
    return static_cast<TWindow*>(lua_touserdata(L, lua_upvalueindex(1)));
}
