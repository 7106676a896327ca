#include "game/script/lua_error.h"

#include "game/script/df_log.h"
#include "ui/window/window_manager.h"

namespace {

constexpr const char* kErrorDialog = "scripts/ok.lua";

str CallerLocation(lua_State* L)
{
    lua_Debug ar{};
    if (!L || !lua_getstack(L, 1, &ar)) {
        LOGIT("lua_getstack failed\n");
        return str();
    }
    if (!lua_getinfo(L, "nSl", &ar)) {
        LOGIT("lua_getinfo failed\n");
        return str();
    }
    return str::getFormatted("File %s\nLine %d", ar.source ? ar.source : "", ar.currentline);
}

}  // namespace

void GlobalLuaError(dfLua& lua, const char* where, const str& message)
{
    GlobalLuaError(where, message + "\n" + CallerLocation(lua.GetState()));
}

void GlobalLuaError(const char* where, const str& message)
{
    LOGIT("GLOBAL LUA ERROR:%s:%s\n", where, message.c_str());
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->DisplayDialog(kErrorDialog, str("#") + message, str("#") + (where ? where : ""), str());
}

void InstallGlobalLuaError()
{
    SetLuaErrorReport(static_cast<void (*)(dfLua&, const char*, const str&)>(&GlobalLuaError));
}
