#pragma once
// The engine's way of running Lua: a state with the libraries and globals that game scripts
// use, script files and strings run with uniform error reporting, and a coroutine stepped as
// an animation task so that a script can wait across frames.
//   TScript script;                          // a state of its own
//   script.RunScript("scripts/intro.lua");   // a chunk that returns a function starts it
//   taskList.AdoptTask(&script);             // ...then one resume per tick until it ends
//
// Lua globals after LuaInit: _ALERT (logs "Lua error: %s", the error handler of every call
// made here), DebugOut, toparams, DumpTable, _SCRIPT (only in a state the script made),
// GetClosure (on first need) and LUA_PATH.

#include <lua.h>

#include <vector>

#include "core/math/color.h"
#include "core/text/str.h"
#include "core/time/anim_task.h"

class TLuaTable;
class TLuaThread;

class TScript : public TAnimTask
{
public:
    // A null state makes a new state owned by this script; a given state is taken over and
    // closed with the script (unless a TLuaThread owns the script). Either way its script files
    // (dofile, require) are read through the file layer. The task starts paused.
    explicit TScript(lua_State* L = nullptr);
    ~TScript() override;
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // Resumes the coroutine once; a coroutine that ends or fails pauses the task.
    bool Animate() override;
    // Offered a closure (on the top of the stack) to run inside the suspended coroutine; true
    // takes it over. This one pops it and declines, so the closure runs at once.
    virtual bool InjectFunction();

    void LuaInit();
    // Compiles (once per run) and runs a script file; true when it ran without error. The
    // stack is left as it was.
    bool RunScript(const str& name);
    // Runs Lua source held in memory; -1 as length takes the whole text. With `results` 0
    // the stack is left as it was; otherwise the results stay for the caller. Returns the
    // Lua status (0 for success); errors are logged and passed to a script's LuaErrorMessage.
    // The chunk is named after its text unless a name is given.
    int DoLuaString(const str& code, int length = -1, int results = 0, const char* chunkName = nullptr);
    // Calls the function lying below its `args` arguments; returns the Lua status. A single
    // result that is a function starts as this script's coroutine.
    int RunFunction(int args, int results);
    // A script on a new coroutine of this state, sharing its globals; the caller owns it.
    TScript* NewThread();
    // Resumes the coroutine with `args` values from the stack; returns the Lua status.
    int Resume(int args);
    // The error that ended the coroutine in the last run or resume; empty when that went well.
    const str& ResumeError() const { return mResumeError; }
    // True while the state is a coroutine suspended in a yield, however it was resumed.
    bool CoroutineActive(int = 0) const;
    // Deletes the wrapper at the next RunFunction, Resume or destruction.
    void DeferDeleteTable(TLuaTable* table);

    // Both leave the stack as it was, also when a Lua error escapes.
    void SetGlobalString(const str& name, const str& value);
    void SetGlobalNumber(const str& name, double value);
    // The top value as text; pops it.
    str PopString();
    // The table on the top: elements 1 to 4 are red, green, blue, alpha (missing ones 0);
    // pops it.
    TColor PopColor();

    lua_State* GetState() const { return mLuaState; }

    // Written into LUA_PATH before code runs.
    static str mLuaPath;

protected:
    // Over a state that the caller keeps and closes. A coroutine of a state that already has
    // the host's globals shares them, so LuaInit runs only for a whole state.
    enum class EBorrowed
    {
        kState,
        kCoroutine
    };
    TScript(lua_State* L, EBorrowed kind);
    // Calls the function under its `args` arguments with "_ALERT" as the error handler.
    int CallProtected(int args, int results);
    // The report of Lua text that failed (`phase` "parsing" or "running"), its error on the
    // top of the stack: logged with the text and handed to a script's LuaErrorMessage. The
    // stack is left as it was.
    void ReportStringFailure(const str& code, const char* phase);
    // The same for text whose run failed where no call made here caught it (in a coroutine's
    // resume): its error, on the top, is first logged through _ALERT as such a call's would be.
    void ReportRunFailure(const str& code);

private:
    void DeleteDeferredTables();

    lua_State* mLuaState = nullptr;
    TLuaThread* mThread = nullptr;
    bool mBorrowed = false;
    // Listed for the runaway-script stop; a borrowed main state is listed by its owner.
    bool mListed = false;
    std::vector<TLuaTable*> mDeferredTables;
    str mResumeError;
};

// Native Lua functions installed by LuaInit.
int LuaError(lua_State* L);
void LuaDebugOut(str text);
int ParamsFromTable(lua_State* L);
