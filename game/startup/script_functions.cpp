#include "game/startup/script_functions.h"

#include "core/config/config.h"
#include "core/platform/platform.h"
#include "core/script/lua_direct_closure.h"
#include "game/script/metrics.h"
#include "game/startup/game_steps.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

const char* const kPrivacyPolicyAddress = "https://tessivander.example.org/privacy";

str dfPushModal(str name)
{
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager)
        return str();
    TModalWindow* modal = GameSteps().newModalWindow ? GameSteps().newModalWindow() : nullptr;
    if (!modal)
        modal = new TModalWindow;
    modal->SetName(name);
    manager->PushModal(modal);
    return WindowIdText(modal->GetId());
}

void dfSetStatus(str status)
{
    MET_Relay(status.c_str());
}

bool IsGameRunning()
{
    return GameRoot() != nullptr;
}

bool IsVoiceEnabled()
{
    return TConfig::GetConfig("voiceoveractive", "1") == str("1");
}

void LaunchPrivacyPolicy()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->OpenBrowser(kPrivacyPolicyAddress);
}

namespace {

void LuaEnterPause()
{
    if (GameSteps().enterPause)
        GameSteps().enterPause();
}

void LuaExitPause()
{
    if (GameSteps().exitPause)
        GameSteps().exitPause();
}

bool LuaIsPaused()
{
    return IsGamePaused();
}

void LuaChoiceClicked(int index)
{
    if (GameSteps().choiceClicked)
        GameSteps().choiceClicked(index);
}

template <class F>
void SetGlobal(lua_State* L, const char* name, F function)
{
    lua_pushstring(L, name);
    lua_pushdirectclosure(L, function);
    lua_settable(L, LUA_GLOBALSINDEX);
}

}  // namespace

void BindPushModal(dfLua& lua)
{
    lua.bindfunction(&dfPushModal, "PushModal");
}

void BindGameScriptFunctions(lua_State* L)
{
    SetGlobal(L, "EnterPause", &LuaEnterPause);
    SetGlobal(L, "dfSetStatus", &dfSetStatus);
    SetGlobal(L, "IsPaused", &LuaIsPaused);
    SetGlobal(L, "IsGameRunning", &IsGameRunning);
    SetGlobal(L, "ExitPause", &LuaExitPause);
    SetGlobal(L, "ChoiceClicked", &LuaChoiceClicked);
    SetGlobal(L, "LaunchPrivacyPolicy", &LaunchPrivacyPolicy);
    SetGlobal(L, "IsVoiceEnabled", &IsVoiceEnabled);
}
