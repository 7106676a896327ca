#pragma once
// The Lua environment of one animated sprite, or one coroutine in it, stepped as a timed task.
// Kept small so that the engine's script host can take its place: the sprite needs a state to
// run text in, coroutines started from a global function, and to know whether one is waiting.
//   TSpriteScript* env = TSpriteScript::NewScript(clock, sprite);
//   env->DoLuaString("function Walk() ... end");
//   TSpriteScript* co = env->NewThread();
//   co->Start("Walk", &error);            // runs to its first wait
//   TSpriteScript::Dispose(co);           // now, or once its running step returns

#include "core/text/str.h"
#include "core/time/anim_task.h"

#include <memory>

struct lua_State;
class TSprite;
struct TSpriteLuaState;

class TSpriteScript : public TAnimTask
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

    lua_State* GetState() const { return mL; }
    bool IsThread() const { return mThreadRef >= 0; }
    // True when this is a coroutine suspended in a yield.
    bool CoroutineActive() const { return mSuspended; }

    // Runs source text; errors are logged. False on a parse or run error. The chunk is named
    // after its text unless a name is given.
    bool DoLuaString(const str& code, const char* chunkName = nullptr);
    // Starts the global function `name` as this coroutine and runs it to its first yield.
    // False with the error text when it could not start or failed.
    bool Start(const char* name, str* error);
    // The global table of this coroutine, made the state's global table again.
    void RestoreGlobals(TSpriteScript* script);

    bool DoTask() override;
    bool Animate() override;

    // The module search path written into LUA_PATH before text runs.
    str mLuaPath;

private:
    TSpriteScript(std::shared_ptr<TSpriteLuaState> shared, lua_State* L, int threadRef);
    ~TSpriteScript() override;

    // Guards a run of Lua code: the sprite stays alive and a disposal waits until it ends.
    class TRunGuard;
    // Resumes the coroutine; records whether it is waiting afterwards.
    int Resume(str* error);
    void UpdateSuspended();

    std::shared_ptr<TSpriteLuaState> mShared;
    lua_State* mL = nullptr;
    int mThreadRef = -1;
    int mRunning = 0;
    bool mDoomed = false;
    bool mSuspended = false;
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
