#include "ui/script/window_script.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_function.h"
#include "core/script/lua_message_wrapper.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/lua_table.h"
#include "core/script/lua_value_text.h"
#include "core/script/message.h"
#include "core/script/message_lua.h"
#include "core/text/str_view.h"
#include "ui/screen/image.h"
#include "ui/script/engine_window_classes.h"
#include "ui/script/movie_player.h"
#include "ui/script/screen_init_library.h"
#include "ui/script/window_functions.h"
#include "ui/style/window_style.h"
#include "ui/widgets/button.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/widgets/text_edit.h"
#include "ui/window/coroutine_follower.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"

#include <lauxlib.h>

#include <cctype>

namespace {

// Given the coroutine follower and its creator, gives the function that runs the chunk given
// to it in a coroutine of its own, at once. A chunk that ends gives nil; one that waits gives
// the command that the layout coroutine runs at its next wait: it waits there in the chunk's
// place and hands each message and command on until the chunk ends, or fails and is reported.
const char kRunAtOnceSource[] =
    "return function(follow, create) return function(chunk, report)\n"
    "local t = create(chunk)\n"
    "local ok, delay = coroutine.resume(t)\n"
    "if not ok then error(delay, 0) end\n"
    "if coroutine.status(t) == 'dead' then return nil end\n"
    "return function()\n"
    "  local fine, after = follow(t, delay)\n"
    "  if not fine then report(after) end\n"
    "end\n"
    "end end\n";

bool IsLuaIdentifier(const str& name)
{
    const std::string_view text = TextView(name);
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    for (const char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

void RunLibrary(lua_State* L)
{
    TLuaStackGuard guard(L);
    int status = luaL_loadbuffer(L, ScreenInitSource(), ScreenInitLength(), "ScreenInit");
    if (status == 0)
        status = lua_pcall(L, 0, 0, 0);
    if (status != 0)
        WriteDbg("ScreenInit failed: %s", LuaValueText(L, -1).c_str());
}

TLayoutFailureReport& LayoutFailureReport()
{
    static TLayoutFailureReport report;
    return report;
}

}  // namespace

void SetLayoutFailureReport(TLayoutFailureReport report)
{
    LayoutFailureReport() = std::move(report);
}

TWindowScript::TWindowScript(lua_State* L) : TWindowScriptBase(L)
{
    lua_State* state = GetState();
    BindWindowFunctions(this, state);
    RegisterEngineWindowClasses();
    CreateMessageMetatable(state);
    RunLibrary(state);
    AddWindowType("Slider", TSlider::ClassId());
    AddWindowType("Bitmap", TImage::ClassId());
    AddWindowType("Button", TButton::ClassId());
    AddWindowType("Text", TText::ClassId());
    AddWindowType("TextEdit", TTextEdit::ClassId());
    AddWindowType("Window", TWindow::ClassId());
}

TWindowScript::~TWindowScript()
{
    StopMovie();
    ForgetPendingText();
    lua_setgcthreshold(GetState(), 0);
}

void TWindowScript::ForgetPendingText()
{
    for (const TPendingText& pending : mPending)
        luaL_unref(GetState(), LUA_REGISTRYINDEX, pending.chunk);
    mPending.clear();
}

bool TWindowScript::IsSuspended() const
{
    return mResuming == 0 && CoroutineActive();
}

int TWindowScript::ResumeCoroutine(int args)
{
    // Only the end of a coroutine that ran is news: resuming one that has ended fails too.
    const bool wasRunning = CoroutineActive();
    ++mResuming;
    const int status = Resume(args);
    --mResuming;
    const bool wasText = mTextIsCoroutine;
    if (!CoroutineActive())
        mTextIsCoroutine = false;
    if (status != 0 && wasRunning) {
        WriteDbg("The layout coroutine ended with an error");
        // What waited for its next wait would otherwise run as a command of the next coroutine.
        ForgetPendingText();
        if (mPopAtWait) {
            mPopAtWait = false;
            PopWindow();
        }
        if (wasText) {
            lua_pushstring(GetState(), ResumeError().c_str());
            ReportRunFailure(mText);
            lua_pop(GetState(), 1);
        } else if (LayoutFailureReport()) {
            LayoutFailureReport()(ResumeError());
        }
    }
    return status;
}

int TWindowScript::ReportTextFailure(lua_State* L)
{
    auto* script = static_cast<TWindowScript*>(lua_touserdata(L, lua_upvalueindex(1)));
    const char* code = lua_tostring(L, lua_upvalueindex(2));
    lua_State* state = script->GetState();
    lua_settop(L, 1);
    // Called from the layout coroutine, which is the script's state; any other moves the error.
    if (L != state)
        lua_xmove(L, state, 1);
    script->ReportRunFailure(code ? code : "");
    if (L != state)
        lua_pop(state, 1);
    return 0;
}

bool TWindowScript::Animate()
{
    // A timed wake-up: HandleGetMessage returns no message.
    mWaiting = false;
    if (ResumeCoroutine(0) != 0 || !CoroutineActive())
        Pause();
    return true;
}

bool TWindowScript::InjectFunction()
{
    lua_State* L = GetState();
    if (!IsSuspended() || !mWaiting) {
        lua_pop(L, 1);
        return false;
    }
    lua_pushnil(L);
    lua_insert(L, -2);
    mWaiting = false;
    // Handed over even when it fails, so the caller never runs it a second time.
    ResumeCoroutine(2);
    return true;
}

void TWindowScript::PushOwnedMessage(TMessage* message)
{
    lua_State* L = GetState();
    if (message->IsKindOf(TLuaMessageWrapper::ClassId())) {
        static_cast<TLuaMessageWrapper*>(message)->GetLuaData().Push();
        delete message;
        return;
    }
    PushMessage(L, message);
}

void TWindowScript::AppendToGlobalList(const char* list)
{
    lua_State* L = GetState();
    TLuaStackGuard guard(L);
    const int value = lua_gettop(L);
    lua_pushstring(L, list);
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushstring(L, list);
        lua_pushvalue(L, -2);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
    const int table = lua_gettop(L);
    lua_pushstring(L, "table");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        lua_pushstring(L, "insert");
        lua_rawget(L, -2);
        lua_remove(L, -2);
    }
    if (lua_isfunction(L, -1)) {
        lua_pushvalue(L, table);
        lua_pushvalue(L, value);
        if (lua_pcall(L, 2, 0, 0) == 0)
            return;
        WriteDbg("Could not queue in %s: %s", list, LuaValueText(L, -1).c_str());
        return;
    }
    lua_pop(L, 1);
    lua_pushnumber(L, luaL_getn(L, table) + 1);
    lua_pushvalue(L, value);
    lua_rawset(L, table);
}

void TWindowScript::OnMessage(TMessage* message, TLuaFunction* function)
{
    lua_State* L = GetState();
    if (IsSuspended() && mWaiting) {
        mWaiting = false;
        PushOwnedMessage(message ? message : new TMessage(kCommandOnly, str(), nullptr));
        int args = 1;
        if (function) {
            function->Push();
            ++args;
        }
        ResumeCoroutine(args);
        return;
    }
    if (IsSuspended() && function) {
        // Suspended outside HandleGetMessage: the command runs at once.
        TLuaStackGuard guard(L);
        function->Push();
        CallProtected(0, 0);
        function = nullptr;
    }
    if (message) {
        PushOwnedMessage(message);
        AppendToGlobalList("gMessageQueue");
    }
    if (function) {
        function->Push();
        AppendToGlobalList("gCommandQueue");
    }
}

int TWindowScript::WaitForMessage(lua_State* L, int delay)
{
    if (L != GetState() && IsFollowedCoroutine(L)) {
        // A wait of text that ran at once or of the quit question, in a coroutine of its own:
        // the coroutine that follows it waits in its place.
        if (delay >= 0)
            lua_pushnumber(L, delay);
        else
            lua_pushnil(L);
        return lua_yield(L, 1);
    }
    // Any other coroutine waits as the layout's does, but the layout's window and pending text
    // stay the layout's.
    if (mPopAtWait && L == GetState()) {
        mPopAtWait = false;
        PopWindow();
    }
    if (!mPending.empty() && L == GetState()) {
        // The rest of text that waited while the coroutine was busy runs now, as the command
        // of this wait.
        const TPendingText next = mPending.front();
        mPending.erase(mPending.begin());
        lua_pushnil(L);
        lua_rawgeti(L, LUA_REGISTRYINDEX, next.chunk);
        luaL_unref(L, LUA_REGISTRYINDEX, next.chunk);
        if (next.window) {
            PushWindow(next.window);
            mPopAtWait = true;
        }
        return 2;
    }
    if (delay >= 0)
        SetDelay(static_cast<uint32_t>(delay), true, true, false);
    else
        Pause();
    mWaiting = true;
    lua_pushstring(L, "gYieldResult");
    lua_rawget(L, LUA_GLOBALSINDEX);
    return lua_yield(L, 1);
}

void TWindowScript::RunInWindow(TWindow* window, const str& code)
{
    lua_State* L = GetState();
    lua_Debug running;
    const unsigned modals = mModalsOpened;
    if (IsSuspended() && mWaiting) {
        // Injected as a command of the wait.
        PushWindow(window);
        DoLuaString(code, -1, 0);
        if (mModalsOpened == modals)
            PopWindow();
        return;
    }
    const int height = lua_gettop(L);
    if (luaL_loadbuffer(L, code.c_str(), code.length(), code.c_str()) != 0) {
        ReportStringFailure(code, "parsing");
        lua_settop(L, height);
        return;
    }
    if (lua_getstack(L, 0, &running)) {
        // Busy (running, or suspended elsewhere than in a wait for a message): a yield from
        // here would cross this call, so the text runs at once in a coroutine of its own;
        // from its first wait (a modal window it opened) the coroutine's next wait drives it.
        PushWindow(window);
        if (!PushWithFollower(L, kRunAtOnceSource, sizeof kRunAtOnceSource - 1, "RunAtOnce")) {
            WriteDbg("RunAtOnce: %s", LuaValueText(L, -1).c_str());
        } else {
            lua_insert(L, -2);
            lua_pushlightuserdata(L, this);
            lua_pushlstring(L, code.c_str(), code.length());
            lua_pushcclosure(L, &ReportTextFailure, 2);
            if (CallProtected(2, 1) != 0)
                ReportStringFailure(code, "running");
            else if (lua_isfunction(L, -1))
                mPending.push_back(TPendingText{mModalsOpened == modals ? window : nullptr,
                                                luaL_ref(L, LUA_REGISTRYINDEX)});
        }
        lua_settop(L, height);
        if (mModalsOpened == modals)
            PopWindow();
        return;
    }
    // No coroutine: the text becomes it, stepped by this task while it waits.
    PushWindow(window);
    if (GetTimeUntilReady() == -1)
        SetDelay(0, true, true, false);
    // A failure of the text is reported as any text's; its error is read before it goes.
    ++mResuming;
    const int status = lua_resume(L, 0);
    --mResuming;
    if (status != 0) {
        ReportRunFailure(code);
    } else if (CoroutineActive()) {
        // Waiting: a failure from here on is still the text's.
        mTextIsCoroutine = true;
        mText = code;
    } else if (lua_gettop(L) > height && lua_isfunction(L, -1)) {
        // Ended with a function: that starts as the coroutine, as a script's chunk would.
        ResumeCoroutine(0);
    }
    if (lua_gettop(L) > height)
        lua_settop(L, height);
    if (mModalsOpened == modals)
        PopWindow();
}

void TWindowScript::ForgetWindow(TWindow* window)
{
    TWindowScriptBase::ForgetWindow(window);
    for (TPendingText& pending : mPending)
        if (pending.window == window)
            pending.window = nullptr;
}

void TWindowScript::NewModalWindow(TModalWindow* modal)
{
    while (mDepth > 0)
        PopWindow();
    // The window of text run as a command has gone with the rest; the next wait must not pop
    // the new modal window in its place.
    mPopAtWait = false;
    ++mModalsOpened;
    PushWindow(modal);
}

void TWindowScript::PushWindow(TWindow* window)
{
    TWindowScriptBase::PushWindow(window);
    ++mDepth;
}

void TWindowScript::PopWindow()
{
    if (mDepth == 0)
        return;
    TWindowScriptBase::PopWindow();
    --mDepth;
}

void TWindowScript::AddWindowType(const str& name, TClassId id)
{
    if (!IsLuaIdentifier(name)) {
        WriteDbg("AddWindowType: '%s' is not a name Lua can call", name.c_str());
        return;
    }
    const char* n = name.c_str();
    DoLuaString(str::getFormatted("function %s( table )\tCreating( '%s', table );\ttable.typename='%s';\n\treturn "
                                  "function() DoWindow( table ) end end;",
                                  n, n, n),
                -1, 0);
    TWindowScriptBase::AddWindowType(name, id);
}

void TWindowScript::CloseRequested()
{
    if (!mMovie)
        return;
    StopMovie();
    if (!IsSuspended())
        return;
    TLuaStackGuard guard(GetState());
    mWaiting = false;
    ResumeCoroutine(0);
}

TWindow* TWindowScript::CreateCustomWindow(lua_State* L, int index)
{
    if (!lua_istable(L, index)) {
        WriteDbg("GenericCreate: a window is described by a table");
        return nullptr;
    }
    lua_pushvalue(L, index);
    TLuaTable table(L);
    TWindowStyle style(&table);
    const str type = style.GetString("typename", str());
    const TClassId id = GetWindowType(type);
    if (!id)
        return nullptr;
    TWindow* window = TWindow::CreateFromId(id);
    if (!window)
        return nullptr;
    return InitWindow(window, style) ? window : nullptr;
}

bool TWindowScript::InitWindow(TWindow* window, TWindowStyle& style)
{
    TWindow* current = GetCurrentWindow();
    if (!current || !current->AdoptChild(window, true)) {
        WriteDbg("A layout window of type %s has no place in the tree; dropped", window->GetTypeName());
        delete window;
        return false;
    }
    window->Init(style);
    PushWindow(window);
    SetGlobalNumber("gDialogWidth", window->GetWindowWidth());
    SetGlobalNumber("gDialogHeight", window->GetWindowHeight());
    if (mCreationHook)
        mCreationHook->OnWindowCreated(window, style);
    return true;
}

bool TWindowScript::StartMovie(const str& name, bool translate, bool allowInput)
{
    StopMovie();
    if (name.empty())
        return false;
    mMovie = CreateMoviePlayer(name);
    if (!mMovie || !mMovie->Start(false, translate, allowInput)) {
        mMovie.reset();
        return false;
    }
    return true;
}

bool TWindowScript::IsMoviePlaying()
{
    return mMovie && mMovie->IsPlaying();
}

void TWindowScript::StopMovie()
{
    if (!mMovie)
        return;
    mMovie->Stop();
    mMovie.reset();
}
