#include "game/interface/windows/window_globals.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_value_text.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <unordered_map>

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

std::unordered_map<double, TWindow*>& LiveOwners()
{
    static std::unordered_map<double, TWindow*> owners;
    return owners;
}

// Whether the value on top is a function bound with `token`.
bool ReachesOwner(lua_State* L, double token)
{
    if (!lua_iscfunction(L, -1) || !lua_getupvalue(L, -1, 1))
        return false;
    const bool same = lua_type(L, -1) == LUA_TNUMBER && lua_tonumber(L, -1) == token;
    lua_pop(L, 1);
    return same;
}

// Every bound global: upvalues token, function, name.
int CallBound(lua_State* L)
{
    if (!tWindowGlobals::Owner(L)) {
        WriteDbg("%s: its window has closed; nothing done", lua_tostring(L, lua_upvalueindex(3)));
        return 0;
    }
    return lua_tocfunction(L, lua_upvalueindex(2))(L);
}

}  // namespace

tWindowGlobals::tWindowGlobals(TWindow* owner) : mOwner(owner)
{
    static double lastToken = 0;
    mToken = ++lastToken;
}

void tWindowGlobals::Bind(const char* name, lua_CFunction function)
{
    lua_State* L = ScriptState();
    if (!L)
        return;
    LiveOwners()[mToken] = mOwner;
    lua_pushnumber(L, mToken);
    lua_pushcfunction(L, function);
    lua_pushstring(L, name);
    lua_pushcclosure(L, &CallBound, 3);
    lua_setglobal(L, name);
    mNames.push_back(name);
}

void tWindowGlobals::Clear()
{
    lua_State* L = ScriptState();
    if (L) {
        for (const str& name : mNames) {
            lua_getglobal(L, name.c_str());
            const bool reaches = ReachesOwner(L, mToken);
            lua_pop(L, 1);
            if (reaches) {
                lua_pushnil(L);
                lua_setglobal(L, name.c_str());
            }
        }
    }
    mNames.clear();
    LiveOwners().erase(mToken);
}

TWindow* tWindowGlobals::Owner(lua_State* L)
{
    const auto found = LiveOwners().find(lua_tonumber(L, lua_upvalueindex(1)));
    return found == LiveOwners().end() ? nullptr : found->second;
}

bool CallScriptFunction(const char* name, const std::function<int(lua_State*)>& push, bool required)
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
        if (required)
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
