#include "render/anim/sprite_script.h"

#include "core/script/lua_state_hooks.h"
#include "core/script/script_interrupt.h"

#include "core/debug/debug_log.h"
#include "render/anim/sprite_task_host.h"
#include "render/sprite/sprite.h"

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

#include <cstring>

namespace {

// Registry key of the state's shared record.
const char kSharedKey = 0;

void OpenLibrary(lua_State* L, lua_CFunction open, const char* name)
{
    lua_pushcfunction(L, open);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

// The top value as text for a log line.
const char* ErrorText(lua_State* L)
{
    const char* text = lua_isstring(L, -1) ? lua_tostring(L, -1) : nullptr;
    return text ? text : "(no message)";
}

}  // namespace

TSpriteLuaState::~TSpriteLuaState()
{
    UnregisterScriptState(L);
    lua_close(L);
}

TSpriteLuaState* GetSpriteLuaState(lua_State* L)
{
    lua_pushlightuserdata(L, const_cast<char*>(&kSharedKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* shared = static_cast<TSpriteLuaState*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return shared;
}

class TSpriteScript::TRunGuard
{
public:
    explicit TRunGuard(TSpriteScript* script)
        : mScript(script)
        , mKeep(script->mShared->owner.lock())
        , mPrevious(script->mShared->running)
    {
        ++script->mRunning;
        if (script->IsThread())
            script->mShared->running = script;
    }
    // True when the script was disposed of while it ran and is gone now.
    bool Finish()
    {
        mScript->mShared->running = mPrevious;
        // The sprite may be destroyed here; it defers the disposal while the count is held.
        mKeep.reset();
        if (--mScript->mRunning > 0 || !mScript->mDoomed)
            return false;
        OrphanSpriteTask(mScript);
        delete mScript;
        return true;
    }

private:
    TSpriteScript* mScript;
    std::shared_ptr<TSprite> mKeep;
    TSpriteScript* mPrevious;
};

TSpriteScript::TSpriteScript(std::shared_ptr<TSpriteLuaState> shared, lua_State* L, int threadRef)
    : mShared(std::move(shared))
    , mL(L)
    , mThreadRef(threadRef)
{
    Pause();
    // A coroutine is stopped like its state.
    if (mThreadRef >= 0)
        RegisterScriptState(mL);
}

TSpriteScript::~TSpriteScript()
{
    if (mShared->running == this)
        mShared->running = nullptr;
    if (mThreadRef >= 0) {
        UnregisterScriptState(mL);
        luaL_unref(mShared->L, LUA_REGISTRYINDEX, mThreadRef);
    }
}

TSpriteScript* TSpriteScript::NewScript(TClock* clock, const std::weak_ptr<TSprite>& owner)
{
    // The host's hooks and file layer, so animation scripts load like every other script.
    lua_State* L = OpenHostState();
    if (!L) {
        WriteDbg("TSpriteScript: could not make a Lua state");
        return nullptr;
    }
    // Stopped like every host script when it holds the main thread.
    RegisterScriptState(L);
    auto shared = std::make_shared<TSpriteLuaState>(L);
    shared->owner = owner;
    OpenLibrary(L, luaopen_base, "");
    OpenLibrary(L, luaopen_string, LUA_STRLIBNAME);
    OpenLibrary(L, luaopen_table, LUA_TABLIBNAME);
    lua_settop(L, 0);
    lua_pushlightuserdata(L, const_cast<char*>(&kSharedKey));
    lua_pushlightuserdata(L, shared.get());
    lua_rawset(L, LUA_REGISTRYINDEX);
    auto* script = new TSpriteScript(shared, L, -1);
    script->SetClock(clock);
    return script;
}

TSpriteScript* TSpriteScript::NewThread()
{
    lua_State* L = mShared->L;
    lua_State* co = lua_newthread(L);
    const int ref = luaL_ref(L, LUA_REGISTRYINDEX);
    return new TSpriteScript(mShared, co, ref);
}

void TSpriteScript::Dispose(TSpriteScript* script)
{
    if (!script)
        return;
    if (script->mRunning > 0) {
        script->mDoomed = true;
        script->Pause();
        return;
    }
    OrphanSpriteTask(script);
    delete script;
}

bool TSpriteScript::DoLuaString(const str& code, const char* chunkName)
{
    lua_State* L = mL;
    const int top = lua_gettop(L);
    const str pathStatement = str("LUA_PATH='") + mLuaPath + "' ;";
    if (luaL_loadbuffer(L, pathStatement.c_str(), pathStatement.length(), "LUA_PATH") == 0)
        lua_pcall(L, 0, 0, 0);
    lua_settop(L, top);

    TRunGuard guard(this);
    const char* phase = "parsing";
    int status = luaL_loadbuffer(L, code.c_str(), code.length(), chunkName ? chunkName : code.c_str());
    if (status == 0) {
        phase = "running";
        status = lua_pcall(L, 0, 0, 0);
    }
    if (status != 0)
        WriteDbg("DoLuaString Lua Error: %s\n\twhen %s", ErrorText(L), phase);
    lua_settop(L, top);
    guard.Finish();
    return status == 0;
}

void TSpriteScript::UpdateSuspended()
{
    // Waiting or ended: asked of the coroutine library in the main state.
    mSuspended = false;
    lua_State* L = mShared->L;
    const int top = lua_gettop(L);
    lua_getglobal(L, "coroutine");
    if (lua_istable(L, -1)) {
        lua_pushstring(L, "status");
        lua_gettable(L, -2);
        lua_rawgeti(L, LUA_REGISTRYINDEX, mThreadRef);
        if (lua_pcall(L, 1, 1, 0) == 0 && lua_isstring(L, -1))
            mSuspended = std::strcmp(lua_tostring(L, -1), "suspended") == 0;
    }
    lua_settop(L, top);
}

int TSpriteScript::Resume(str* error)
{
    const int status = lua_resume(mL, 0);
    if (status != 0) {
        if (error)
            *error = ErrorText(mL);
        mSuspended = false;
    } else {
        UpdateSuspended();
    }
    lua_settop(mL, 0);
    return status;
}

bool TSpriteScript::Start(const char* name, str* error)
{
    if (!IsThread())
        return false;
    TRunGuard guard(this);
    lua_settop(mL, 0);
    lua_getglobal(mL, name);
    const bool ok = Resume(error) == 0;
    guard.Finish();
    return ok;
}

void TSpriteScript::RestoreGlobals(TSpriteScript* script)
{
    if (!script || !IsThread() || script->mShared != mShared)
        return;
    lua_State* L = script->mL;
    lua_getglobal(mL, "_G");
    if (lua_istable(mL, -1)) {
        lua_xmove(mL, L, 1);
        lua_replace(L, LUA_GLOBALSINDEX);
    } else {
        lua_pop(mL, 1);
    }
}

bool TSpriteScript::DoTask()
{
    TRunGuard guard(this);
    const bool keep = TAnimTask::DoTask();
    if (guard.Finish())
        return true;  // gone, and out of the list
    return keep;
}

bool TSpriteScript::Animate()
{
    if (!IsThread() || !mSuspended) {
        Pause();
        return true;
    }
    str error;
    if (Resume(&error) != 0) {
        WriteDbg("lua_resume ERROR: %s", error.c_str());
        Pause();
        return true;
    }
    if (!mSuspended)
        Pause();
    return true;
}
