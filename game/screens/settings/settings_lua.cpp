// The settings' Lua globals: bound to the object, and taken away with it.

#include "core/script/df_lua.h"
#include "core/script/lua_direct_closure.h"
#include "game/screens/settings/settings.h"
#include "game/script/df_log.h"
#include "game/script/metrics.h"
#include "game/script/script_enums.h"

#include <lua.h>

namespace {

template <class M>
struct TSettingsGlobal
{
    const char* name;
    M method;
};
// Spelled out: not every compiler the project builds with deduces aggregates yet.
template <class M>
TSettingsGlobal(const char*, M) -> TSettingsGlobal<M>;

// Binds each global of the table on the object, or, with bind false, removes each one that
// is still a closure on the object.
template <class... M>
void ForEachGlobal(lua_State* L, TSettings* settings, bool bind, const TSettingsGlobal<M>&... globals)
{
    auto one = [&](const auto& global) {
        if (bind) {
            lua_pushdirectclosure(L, settings, global.method);
            lua_setglobal(L, global.name);
            return;
        }
        lua_getglobal(L, global.name);
        bool ours = false;
        if (lua_iscfunction(L, -1) && lua_getupvalue(L, -1, 1)) {
            // A direct closure's first upvalue starts with the object it is bound to.
            void* block = lua_touserdata(L, -1);
            ours = block && *static_cast<void**>(block) == settings;
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
        if (ours) {
            lua_pushnil(L);
            lua_setglobal(L, global.name);
        }
    };
    (one(globals), ...);
}

void SettingsGlobals(lua_State* L, TSettings* s, bool bind)
{
    using T = TSettings;
    ForEachGlobal(
        L, s, bind, TSettingsGlobal{"ToggleFullScreen", &T::ToggleFullScreen},
        TSettingsGlobal{"ToggleSoundMute", &T::ToggleSoundMute},
        TSettingsGlobal{"SetCurrentGameMode", &T::SetCurrentGameMode}, TSettingsGlobal{"GetNumUsers", &T::GetNumUsers},
        TSettingsGlobal{"CreateNewUser", &T::CreateNewUser}, TSettingsGlobal{"SetCurrentUser", &T::SetCurrentUser},
        TSettingsGlobal{"ChangeCurrentUserName", &T::ChangeCurrentUserName},
        TSettingsGlobal{"DeleteUser", &T::DeleteUser}, TSettingsGlobal{"IsNameInUse", &T::IsNameInUse},
        TSettingsGlobal{"QuitToMainMenu", &T::QuitToMainMenu}, TSettingsGlobal{"LogHighScore", &T::LogHighScore},
        TSettingsGlobal{"NumMedalsToSubmit", &T::NumMedalsToSubmit},
        TSettingsGlobal{"NumEarnedMedals", &T::NumEarnedMedals}, TSettingsGlobal{"GetMedalName", &T::GetMedalName},
        TSettingsGlobal{"GetMedalType", &T::GetMedalType}, TSettingsGlobal{"GetMedalGameMode", &T::GetMedalGameMode},
        TSettingsGlobal{"GetMedalGameData", &T::GetMedalGameData},
        TSettingsGlobal{"GetZvGameModeName", &T::GetZvGameModeName},
        TSettingsGlobal{"GetZvMedalName", &T::GetZvMedalName});
}

template <class F>
void BindFunction(lua_State* L, const char* name, F function)
{
    lua_pushdirectclosure(L, function);
    lua_setglobal(L, name);
}

}  // namespace

void TSettings::BindLuaGlobals()
{
    lua_State* L = mServices.script;
    if (!L)
        return;
    SettingsGlobals(L, this, true);
    BindFunction(L, "SetStartMode", &SetStartMode);
    BindFunction(L, "IsSavedGamePresent", &IsSavedGamePresent);
    BindFunction(L, "MET_Count", &MET_Count);
    BindFunction(L, "MET_BeginHelp", &MET_BeginHelp);
    BindFunction(L, "MET_EndHelp", &MET_EndHelp);
    dfLua lua(L);
    AddSTARTMODEToLua(lua);
}

void TSettings::ClearLuaGlobals()
{
    if (mServices.script)
        SettingsGlobals(mServices.script, this, false);
}

bool SetStartMode(int mode)
{
    const TSettingsServices* services = gSettings ? &gSettings->GetServices() : nullptr;
    const std::function<bool()>* action = nullptr;
    switch (mode) {
    case STARTMODE_NEW: action = services ? &services->startNewGame : nullptr; break;
    case STARTMODE_LOAD:
    case STARTMODE_RESUME: action = services ? &services->loadDefaultGame : nullptr; break;
    default: LOGIT("Bad STARTMODE %d\n", mode); return false;
    }
    return action && *action && (*action)();
}
