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
        : mScript(script), mKeep(script->mShared->owner.lock()), mPrevious(script->mShared->running)
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
    : TScript(L, threadRef >= 0 ? EBorrowed::kCoroutine : EBorrowed::kState),
      mShared(std::move(shared)),
      mThreadRef(threadRef)
{
}

TSpriteScript::~TSpriteScript()
{
    if (mShared->running == this)
        mShared->running = nullptr;
    if (mThreadRef >= 0)
        luaL_unref(mShared->L, LUA_REGISTRYINDEX, mThreadRef);
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

bool TSpriteScript::RunText(const str& code, const char* chunkName)
{
    TRunGuard guard(this);
    // The host writes its path into LUA_PATH as a value, whatever the folder's name holds;
    // every other script gets the host's own path back afterwards.
    const str hostPath = TScript::mLuaPath;
    if (!mSearchPath.empty())
        TScript::mLuaPath = mSearchPath;
    const int status = DoLuaString(code, -1, 0, chunkName);
    TScript::mLuaPath = hostPath;
    guard.Finish();
    return status == 0;
}

int TSpriteScript::ResumeThread(str* error)
{
    lua_State* L = GetState();
    const int status = lua_resume(L, 0);
    if (status != 0 && error)
        *error = ErrorText(L);
    lua_settop(L, 0);
    return status;
}

bool TSpriteScript::Start(const char* name, str* error)
{
    if (!IsThread())
        return false;
    TRunGuard guard(this);
    lua_State* L = GetState();
    lua_settop(L, 0);
    lua_getglobal(L, name);
    const bool ok = ResumeThread(error) == 0;
    guard.Finish();
    return ok;
}

void TSpriteScript::RestoreGlobals(TSpriteScript* script)
{
    if (!script || !IsThread() || script->mShared != mShared)
        return;
    lua_State* from = GetState();
    lua_State* L = script->GetState();
    lua_getglobal(from, "_G");
    if (lua_istable(from, -1)) {
        lua_xmove(from, L, 1);
        lua_replace(L, LUA_GLOBALSINDEX);
    } else {
        lua_pop(from, 1);
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
    if (!IsThread() || !CoroutineActive()) {
        Pause();
        return true;
    }
    str error;
    if (ResumeThread(&error) != 0) {
        WriteDbg("lua_resume ERROR: %s", error.c_str());
        Pause();
        return true;
    }
    if (!CoroutineActive())
        Pause();
    return true;
}
