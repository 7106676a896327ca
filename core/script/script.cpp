#include "core/script/script.h"

#include <lauxlib.h>

#include <algorithm>
#include <new>

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/script/lua_color.h"
#include "core/script/lua_function.h"
#include "core/script/lua_object_wrapper.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/lua_state_hooks.h"
#include "core/script/lua_table.h"
#include "core/script/lua_thread.h"
#include "core/script/lua_value_text.h"
#include "core/script/script_code.h"
#include "core/script/script_interrupt.h"

str TScript::mLuaPath = "assets/?;?;../?;../../?";

namespace {

const char kGetClosureSource[] =
    "function GetClosure( f, ... ) return function() return f( arg[1], arg[2], arg[3], arg[4], "
    "arg[5], arg[6] ); end; end";

// Host globals are read raw, so a script's metatable on the globals cannot get in the way.
void PushRawGlobal(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
}

void SetLuaPath(lua_State* L, const str& path)
{
    lua_pushstring(L, "LUA_PATH");
    lua_pushstring(L, path.c_str());
    lua_rawset(L, LUA_GLOBALSINDEX);
}

// Hands the value on the top to _ALERT, popping it, as the handler of a call made here would.
void Alert(lua_State* L)
{
    PushRawGlobal(L, "_ALERT");
    lua_insert(L, -2);
    if (lua_pcall(L, 1, 0, 0) != 0)
        lua_pop(L, 1);
}

// Back to an earlier height, never up: a coroutine that yielded shows only what it yielded.
void LowerTo(lua_State* L, int height)
{
    if (lua_gettop(L) > height)
        lua_settop(L, height);
}

}  // namespace

TScript::TScript(lua_State* L) : TAnimTask(nullptr)
{
    Pause();
    const bool own = L == nullptr;
    if (own) {
        L = OpenHostState();
        if (!L)
            throw std::bad_alloc();
    } else {
        InstallFileLayerLoader(L);
    }
    mLuaState = L;
    RegisterScriptState(L);
    mListed = true;
    LuaInit();
    if (own) {
        lua_pushstring(L, "_SCRIPT");
        lua_pushlightuserdata(L, this);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
}

TScript::TScript(lua_State* L, EBorrowed kind) : TAnimTask(nullptr), mLuaState(L), mBorrowed(true)
{
    Pause();
    if (kind == EBorrowed::kState) {
        LuaInit();
    } else {
        RegisterScriptState(L);
        mListed = true;
    }
}

TScript::~TScript()
{
    DeleteDeferredTables();
    if (mListed)
        UnregisterScriptState(mLuaState);
    if (mThread)
        delete mThread;
    else if (!mBorrowed)
        lua_close(mLuaState);
}

void TScript::DeleteDeferredTables()
{
    // A deletion may queue further tables; take the queue first.
    std::vector<TLuaTable*> tables;
    tables.swap(mDeferredTables);
    for (TLuaTable* table : tables)
        delete table;
}

void TScript::DeferDeleteTable(TLuaTable* table)
{
    if (table)
        mDeferredTables.push_back(table);
}

bool TScript::CoroutineActive(int) const
{
    return lua_isyielded(mLuaState) != 0;
}

int TScript::CallProtected(int args, int results)
{
    lua_State* L = mLuaState;
    const int function = lua_gettop(L) - args;
    PushRawGlobal(L, "_ALERT");
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return lua_pcall(L, args, results, 0);
    }
    lua_insert(L, function);
    const int status = lua_pcall(L, args, results, function);
    lua_remove(L, function);
    // Memory errors skip the handler; their message (a script past its memory bound) is
    // logged like any other error.
    if (status == LUA_ERRMEM)
        WriteDbg("Lua error: %s", LuaValueText(L, -1).c_str());
    return status;
}

int TScript::RunFunction(int args, int results)
{
    DeleteDeferredTables();
    mResumeError = str();
    lua_State* L = mLuaState;
    if (CoroutineActive() && results <= 1) {
        // Wrap the call in a closure that the suspended coroutine may take over.
        PushRawGlobal(L, "GetClosure");
        if (!lua_isfunction(L, -1)) {
            lua_pop(L, 1);
            if (luaL_loadbuffer(L, kGetClosureSource, sizeof kGetClosureSource - 1, "GetClosure") != 0 ||
                CallProtected(0, 0) != 0) {
                WriteDbg("Lua error: %s", LuaValueText(L, -1).c_str());
                lua_pop(L, 1);
            }
            PushRawGlobal(L, "GetClosure");
        }
        lua_insert(L, lua_gettop(L) - args - 1);
        const int status = CallProtected(args + 1, 1);
        if (status != 0)
            return status;
        TLuaFunction closure(L);
        closure.Push();
        if (InjectFunction())
            return 0;
        closure.Push();
        args = 0;
    }

    const int status = CallProtected(args, results);
    if (status != 0) {
        if (results > 1)
            WriteDbg("TScript::RunFunction failure. Too many return results? (%d, FAILURE CODE %d)", results, status);
        return status;
    }
    if (CoroutineActive())
        return 0;
    if (results == 1 && lua_isfunction(L, -1)) {
        // The returned function becomes this script's coroutine, stepped once per tick.
        if (GetTimeUntilReady() == -1)
            SetDelay(0, true, true, false);
        if (lua_resume(L, 0) != 0) {
            mResumeError = LuaValueText(L, -1);
            WriteDbg("lua_resume error: %s", mResumeError.c_str());
            lua_pop(L, 1);
        }
    }
    return 0;
}

int TScript::Resume(int args)
{
    DeleteDeferredTables();
    mResumeError = str();
    const int status = lua_resume(mLuaState, args);
    if (status != 0) {
        mResumeError = LuaValueText(mLuaState, -1);
        WriteDbg("lua_resume ERROR: %s", mResumeError.c_str());
        lua_pop(mLuaState, 1);
    }
    return status;
}

bool TScript::Animate()
{
    if (Resume(0) != 0)
        Pause();
    if (!CoroutineActive())
        Pause();
    return true;
}

bool TScript::InjectFunction()
{
    lua_pop(mLuaState, 1);
    return false;
}

TScript* TScript::NewThread()
{
    lua_State* thread = lua_newthread(mLuaState);
    auto* anchor = new TLuaObjectWrapper(mLuaState);
    auto* owner = new TLuaThread(anchor, thread);
    auto* script = new TScript(thread);
    script->mThread = owner;
    return script;
}

bool TScript::RunScript(const str& name)
{
    lua_State* L = mLuaState;
    const int height = lua_gettop(L);
    if (name.empty() || !TFile::Exists(name))
        return false;
    str error;
    auto code = TScriptCode::Get(name, mLuaPath, &error);
    bool ran = false;
    const int loaded = code ? luaL_loadbuffer(L, code->GetData(), code->GetLength(), name.c_str()) : LUA_ERRFILE;
    if (code && loaded == 0) {
        const int status = RunFunction(0, 1);
        if (status != 0)
            WriteDbg("Failed to run script %s: %d", name.c_str(), status);
        ran = status == 0;
    } else {
        if (!error.empty())
            lua_pushstring(L, error.c_str());
        else if (code)
            lua_pushvalue(L, -1);  // the load error
        else
            lua_pushstring(L, (str("cannot load ") + name).c_str());
        Alert(L);
    }
    LowerTo(L, height);
    return ran;
}

int TScript::DoLuaString(const str& code, int length, int results, const char* chunkName)
{
    lua_State* L = mLuaState;
    SetLuaPath(L, mLuaPath);
    const int height = lua_gettop(L);
    // Never past the end of the text, whatever length the caller gives.
    const size_t size = length < 0 ? code.length() : std::min<size_t>(size_t(length), code.length());
    int status = luaL_loadbuffer(L, code.c_str(), size, chunkName ? chunkName : code.c_str());
    const char* phase = "parsing";
    if (status == 0) {
        phase = "running";
        status = RunFunction(0, results == 0 ? 1 : results);
        if (status == 0) {
            if (results == 0)
                LowerTo(L, height);
            return 0;
        }
    }
    ReportStringFailure(code, phase);
    // The error object goes too, so failures never pile up on the stack.
    LowerTo(L, height);
    return status;
}

void TScript::ReportRunFailure(const str& code)
{
    lua_pushvalue(mLuaState, -1);
    Alert(mLuaState);
    ReportStringFailure(code, "running");
}

void TScript::ReportStringFailure(const str& code, const char* phase)
{
    lua_State* L = mLuaState;
    if (lua_type(L, -1) != LUA_TSTRING)
        return;
    TLuaStackGuard guard(L);
    const str message = str::getFormatted("Lua Error: %s\n\twhen %s", lua_tostring(L, -1), phase);
    WriteDbg("DoLuaString %s %s", message.c_str(), code.c_str());
    PushRawGlobal(L, "LuaErrorMessage");
    if (!lua_isnil(L, -1)) {
        lua_pushstring(L, message.c_str());
        if (lua_pcall(L, 1, 0, 0) != 0)
            WriteDbg("Lua error: %s", LuaValueText(L, -1).c_str());
    }
}

void TScript::SetGlobalString(const str& name, const str& value)
{
    TLuaStackGuard guard(mLuaState);
    lua_pushstring(mLuaState, name.c_str());
    lua_pushlstring(mLuaState, value.c_str(), value.length());
    lua_settable(mLuaState, LUA_GLOBALSINDEX);
}

void TScript::SetGlobalNumber(const str& name, double value)
{
    TLuaStackGuard guard(mLuaState);
    lua_pushstring(mLuaState, name.c_str());
    lua_pushnumber(mLuaState, value);
    lua_settable(mLuaState, LUA_GLOBALSINDEX);
}

str TScript::PopString()
{
    if (lua_gettop(mLuaState) < 1)
        return str();
    str text(lua_tostring(mLuaState, -1));
    lua_pop(mLuaState, 1);
    return text;
}

TColor TScript::PopColor()
{
    if (lua_gettop(mLuaState) < 1)
        return TColor();
    const TColor color = ReadColorElements(mLuaState, -1);
    lua_pop(mLuaState, 1);
    return color;
}
