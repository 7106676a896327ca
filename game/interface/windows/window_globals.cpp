#include "game/interface/windows/window_globals.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_value_text.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

TWindowScriptBase* Script()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    return wm ? wm->GetScript() : nullptr;
}

lua_State* ScriptState()
{
    TWindowScriptBase* script = Script();
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

bool CallScriptFunction(const char* name, const std::function<int(lua_State*)>& push)
{
    TWindowScriptBase* script = Script();
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        WriteDbg("%s: no script to call", name);
        return false;
    }
    const int height = lua_gettop(L);
    lua_getglobal(L, name);
    if (!lua_isfunction(L, -1)) {
        lua_settop(L, height);
        WriteDbg("%s: the script defines no such function", name);
        return false;
    }
    const int args = push ? push(L) : 0;
    const int status = script->RunFunction(args, 0);
    if (status != 0)
        WriteDbg("%s: Lua error: %s", name, LuaValueText(L, -1).c_str());
    lua_settop(L, height);
    return status == 0;
}
