#include "game/startup/quit_verify.h"

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "core/script/script_code.h"
#include "game/script/df_log.h"
#include "lauxlib.h"
#include "lua.h"
#include "ui/window/coroutine_follower.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

constexpr const char* kQuitVerifyScript = "scripts/quitverify.lua";

// Given the coroutine follower and its creator, gives the function that runs the quit script
// (its chunk is the argument) in a coroutine of its own, driven by the waits of the coroutine that runs it, so
// an error in it, before or after its question, ends only the script: the request then stands
// and the game quits.
const char kGuardSource[] =
    "return function(follow, create) return function(quit)\n"
    "local t = create(quit)\n"
    "local ok, delay = coroutine.resume(t)\n"
    "if ok then ok, delay = follow(t, delay) end\n"
    "if not ok then\n"
    "  LOGIT('The quit script scripts/quitverify.lua failed: ' .. tostring(delay) .. '; quitting\\n')\n"
    "  PostMessage(CreateNamedMessage(kQuitNow, 'quit'))\n"
    "end\n"
    "end end\n";

// Leaves the guard and the quit chunk on the stack; false (logged) when either does not compile.
bool PushGuardedQuitScript(lua_State* L)
{
    str error;
    auto code = TScriptCode::Get(kQuitVerifyScript, TScript::mLuaPath, &error);
    if (!PushWithFollower(L, kGuardSource, sizeof kGuardSource - 1, "=quit guard")) {
        LOGIT("The quit guard does not compile: %s\n", lua_tostring(L, -1));
        lua_pop(L, 1);
        return false;
    }
    if (!code || luaL_loadbuffer(L, code->GetData(), code->GetLength(), kQuitVerifyScript) != 0) {
        LOGIT("%s\n", code ? lua_tostring(L, -1) : error.c_str());
        lua_pop(L, code ? 2 : 1);
        return false;
    }
    return true;
}

}  // namespace

bool AskWhetherToQuit(TWindowScriptBase* script)
{
    // A window that cannot be closed is worse than a question not asked.
    if (!TFile::Exists(kQuitVerifyScript)) {
        LOGIT("The quit script %s is missing; quitting\n", kQuitVerifyScript);
        return false;
    }
    if (!script) {
        LOGIT("No window script to run %s; quitting\n", kQuitVerifyScript);
        return false;
    }
    lua_State* L = script->GetState();
    const int height = lua_gettop(L);
    if (!PushGuardedQuitScript(L)) {
        LOGIT("The quit script %s did not start; quitting\n", kQuitVerifyScript);
        return false;
    }
    // No result is asked for: the guard gives none, and each close request would leave one.
    if (script->RunFunction(1, 0) == 0)
        return true;
    // A failure comes before any resume, so the stack is still the one measured.
    lua_settop(L, height);
    LOGIT("The quit script %s did not run; quitting\n", kQuitVerifyScript);
    return false;
}

void VerifyQuit(TPlatform* platform)
{
    TWindowManager* wm = platform ? platform->GetWindowManager() : nullptr;
    if (!AskWhetherToQuit(wm ? wm->GetScript() : nullptr) && platform)
        platform->Exit(0);
}
