#pragma once
// The Lua environment of one animated sprite, or one coroutine in it, stepped as a timed task:
// a script host (TScript) with the host's globals and error reports, over a state that the
// sprite's coroutines share and the last of them closes.
//   TSpriteScript* env = TSpriteScript::NewScript(clock, sprite);
//   env->SetSearchPath("?;anims/?.lua");
//   env->RunText("function Walk() ... end");
//   TSpriteScript* co = env->NewThread();
//   co->Start("Walk", &error);            // runs to its first wait
//   TSpriteScript::Dispose(co);           // now, or once its running step returns

#include "core/script/script.h"
#include "core/text/str.h"

#include <memory>

class TSprite;
struct TSpriteLuaState;

class TSpriteScript : public TScript
{
public:
    // A new state with the base (with coroutines), string and table libraries; paused. `owner`
    // is what the sprite functions of the state act on; they do nothing once it is gone.
    static TSpriteScript* NewScript(TClock* clock, const std::weak_ptr<TSprite>& owner);
    // A coroutine sharing this state's globals; paused, without a clock.
    TSpriteScript* NewThread();
    // Deletes now, or, while the script is running, as soon as its run returns. Takes it out of
    // the sprite task list either way.
    static void Dispose(TSpriteScript* script);

    bool IsThread() const { return mThreadRef >= 0; }

    // The module search path that text run here sees in LUA_PATH; empty: the host's.
    void SetSearchPath(const str& path) { mSearchPath = path; }
    // Runs source text through the host (TScript::DoLuaString): errors are reported there.
    // False on a parse or run error. The chunk is named after its text unless a name is given.
    bool RunText(const str& code, const char* chunkName = nullptr);
    // Starts the global function `name` as this coroutine and runs it to its first yield.
    // False with the error text when it could not start or failed.
    bool Start(const char* name, str* error);
    // The global table of this coroutine, made the state's global table again.
    void RestoreGlobals(TSpriteScript* script);

    bool DoTask() override;
    bool Animate() override;

private:
    TSpriteScript(std::shared_ptr<TSpriteLuaState> shared, lua_State* L, int threadRef);
    ~TSpriteScript() override;

    // Guards a run of Lua code: the sprite stays alive and a disposal waits until it ends.
    class TRunGuard;
    // Resumes the coroutine; the error text on failure.
    int ResumeThread(str* error);

    std::shared_ptr<TSpriteLuaState> mShared;
    str mSearchPath;
    int mThreadRef = -1;
    int mRunning = 0;
    bool mDoomed = false;
};

// What every coroutine of a state shares: the state itself (closed with the last of them) and
// the sprite the state's functions act on.
struct TSpriteLuaState
{
    explicit TSpriteLuaState(lua_State* state) : L(state) {}
    ~TSpriteLuaState();
    TSpriteLuaState(const TSpriteLuaState&) = delete;
    TSpriteLuaState& operator=(const TSpriteLuaState&) = delete;

    lua_State* L;
    std::weak_ptr<TSprite> owner;
    // The coroutine whose step is running, so that a wait can reach its task.
    TSpriteScript* running = nullptr;
};

// The state's shared record, kept where the sprite functions find it.
TSpriteLuaState* GetSpriteLuaState(lua_State* L);
