#include "game/startup/quit_verify.h"

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "core/script/message.h"
#include "core/script/script_code.h"
#include "game/script/df_log.h"
#include "lauxlib.h"
#include "lua.h"
#include "ui/window/coroutine_follower.h"
#include "ui/window/message_types.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <string_view>

namespace {

constexpr const char* kQuitVerifyScript = "scripts/quitverify.lua";
constexpr const char* kKeepPlaying = "keep playing";
constexpr const char* kRequestQuitGlobal = "RequestQuit";

// Given the coroutine follower and its creator, gives function(load, decide), which gives the
// guard: it runs the quit chunk (from load) in a coroutine of its own, driven by the waits of
// the coroutine that runs the guard, so that the chunk may wait for its question and an error
// in it ends only the chunk; decide then rules on how the chunk ended. A request made while a
// question is open has no question of its own.
const char kGuardSource[] =
    "return function(follow, create) return function(load, decide)\n"
    "local asking = false\n"
    "return function()\n"
    "  if asking then return decide(false, 'is asking already') end\n"
    "  local chunk, problem = load()\n"
    "  if not chunk then return decide(false, problem) end\n"
    "  asking = true\n"
    "  local t = create(chunk)\n"
    "  local ok, got = coroutine.resume(t)\n"
    "  if ok then ok, got = follow(t, got) end\n"
    "  asking = false\n"
    "  if not ok then return decide(false, 'failed: ' .. tostring(got)) end\n"
    "  return decide(true, got)\n"
    "end\n"
    "end end\n";

// The guard's key in the registry: one guard per state, whatever a script does to the global.
const char kGuardKey = 0;

// () -> the quit chunk, or nil and what is wrong with it.
int LoadQuitScript(lua_State* L)
{
    if (!TFile::Exists(kQuitVerifyScript)) {
        lua_pushnil(L);
        lua_pushstring(L, "is missing");
        return 2;
    }
    str error;
    auto code = TScriptCode::Get(kQuitVerifyScript, TScript::mLuaPath, &error);
    if (code && luaL_loadbuffer(L, code->GetData(), code->GetLength(), kQuitVerifyScript) == 0)
        return 1;
    const str why = str("did not start: ") + (code ? str(lua_tostring(L, -1)) : error);
    lua_pushnil(L);
    lua_pushstring(L, why.c_str());
    return 2;
}

// Leaving: the game in play is kept by the interface's KeepTheGameInPlay, when it has one,
// then the quit goes out.
void Leave(lua_State* L)
{
    lua_pushstring(L, "KeepTheGameInPlay");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_isfunction(L, -1)) {
        if (lua_pcall(L, 0, 0, 0) != 0) {
            LOGIT("The game in play was not kept: %s\n", lua_tostring(L, -1));
            lua_pop(L, 1);
        }
    } else {
        lua_pop(L, 1);
    }
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->PostWindowMessage(new TMessage(kQuitNow, "quit", nullptr));
    else if (TPlatform* platform = TPlatform::GetInstance())
        platform->Exit(0);
}

// (ended, answer or problem) -> true when the game leaves. Only a chunk that ended with the
// answer "keep playing" keeps it.
int DecideQuit(lua_State* L)
{
    const bool ended = lua_toboolean(L, 1) != 0;
    const char* got = lua_type(L, 2) == LUA_TSTRING ? lua_tostring(L, 2) : nullptr;
    if (ended && got && std::string_view(got) == kKeepPlaying) {
        lua_pushboolean(L, 0);
        return 1;
    }
    if (ended)
        LOGIT("The quit script %s ended without the answer \"%s\"; quitting\n", kQuitVerifyScript, kKeepPlaying);
    else
        LOGIT("The quit script %s %s; quitting\n", kQuitVerifyScript, got ? got : "failed");
    Leave(L);
    lua_pushboolean(L, 1);
    return 1;
}

// Pushes the state's guard, made at its first use; false (logged, nothing pushed) when it
// cannot be made.
bool PushQuitGuard(lua_State* L)
{
    lua_pushlightuserdata(L, const_cast<char*>(&kGuardKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_isfunction(L, -1))
        return true;
    lua_pop(L, 1);
    if (!PushWithFollower(L, kGuardSource, sizeof kGuardSource - 1, "=quit guard")) {
        LOGIT("The quit guard does not compile: %s\n", lua_tostring(L, -1));
        lua_pop(L, 1);
        return false;
    }
    lua_pushcfunction(L, LoadQuitScript);
    lua_pushcfunction(L, DecideQuit);
    if (lua_pcall(L, 2, 1, 0) != 0 || !lua_isfunction(L, -1)) {
        LOGIT("The quit guard was not made: %s\n", lua_tostring(L, -1));
        lua_pop(L, 1);
        return false;
    }
    lua_pushlightuserdata(L, const_cast<char*>(&kGuardKey));
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return true;
}

}  // namespace

void BindQuitRequest(lua_State* L)
{
    if (!L || !PushQuitGuard(L))
        return;
    lua_pushstring(L, kRequestQuitGlobal);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

bool AskWhetherToQuit(TWindowScriptBase* script)
{
    if (!script) {
        LOGIT("No window script to run %s; quitting\n", kQuitVerifyScript);
        return false;
    }
    lua_State* L = script->GetState();
    const int height = lua_gettop(L);
    if (!PushQuitGuard(L)) {
        LOGIT("The quit script %s cannot be run; quitting\n", kQuitVerifyScript);
        Leave(L);
        return true;
    }
    // No result is asked for: each close request would leave one.
    if (script->RunFunction(0, 0) != 0) {
        // The guard leaves only as its last step: failing, it has not left yet.
        lua_settop(L, height);
        LOGIT("The quit guard did not run; quitting\n");
        Leave(L);
    }
    return true;
}

void VerifyQuit(TPlatform* platform)
{
    TWindowManager* wm = platform ? platform->GetWindowManager() : nullptr;
    // With no script nothing can keep the game in play: the quit goes out at once.
    if (!AskWhetherToQuit(wm ? wm->GetScript() : nullptr) && platform)
        platform->Exit(0);
}
