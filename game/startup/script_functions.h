#pragma once
// The Lua globals the game's main function provides to every script of the window manager's
// state: "PushModal", "EnterPause", "dfSetStatus", "IsPaused", "IsGameRunning", "ExitPause",
// "ChoiceClicked", "LaunchPrivacyPolicy" and "IsVoiceEnabled".

#include "core/script/df_lua.h"
#include "core/text/str.h"

// A new modal window named `name` on the modal stack; its id text ("%8x"), the form PopModal
// takes. Empty when there is no window manager.
str dfPushModal(str name);
void dfSetStatus(str status);
bool IsGameRunning();
bool IsVoiceEnabled();
void LaunchPrivacyPolicy();

// "PushModal" through bindfunction.
void BindPushModal(dfLua& lua);
// The other eight, as direct closures, in the order listed above.
void BindGameScriptFunctions(lua_State* L);

// The page LaunchPrivacyPolicy opens.
extern const char* const kPrivacyPolicyAddress;
