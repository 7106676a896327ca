#pragma once
// The Lua side of the window system: the one Lua state that layouts and interface logic share.
// Layouts are Lua chunks whose constructor calls (Window{...}, Button{...}, Text{...}) create
// windows by type name under the current window; the interface runs as a coroutine that waits
// in HandleGetMessage and is resumed with each message the window manager hands over. The
// built-in library "ScreenInit" (message and layout constants, DoModal, DisplayDialog,
// WaitForMessage and the rest of the layout vocabulary) runs at construction.
//   auto* script = new TWindowScript;
//   TWindowManager::GetInstance()->AttachWindowScript(script);
//   script->DoLuaString("return function() local r = DoModal('layouts/menu.lua') end", -1, 1);
//
// Messages are never lost: one that arrives while the coroutine is not waiting for a message
// is queued in "gMessageQueue" (WaitForMessage returns queued ones, newest first).

#include "core/text/str.h"
#include "ui/window/window_script_base.h"

#include <functional>
#include <memory>
#include <vector>

class TMoviePlayer;
class TWindowStyle;

// Told of every window a layout creates.
class TWindowCreationHook
{
public:
    virtual ~TWindowCreationHook() = default;
    virtual void OnWindowCreated(TWindow* window, TWindowStyle& style) = 0;
};

// Told, with the error's text, when the layout coroutine ends with an error: the interface
// has stopped and every screen's buttons are dead until something starts it again. Without a
// report the error is only logged.
using TLayoutFailureReport = std::function<void(const str& error)>;
void SetLayoutFailureReport(TLayoutFailureReport report);

class TWindowScript : public TWindowScriptBase
{
public:
    // A null state makes one of its own.
    explicit TWindowScript(lua_State* L = nullptr);
    ~TWindowScript() override;

    bool Animate() override;
    // Runs the function on the top of the stack as a command inside the coroutine when it waits
    // for a message; otherwise pops it and declines.
    bool InjectFunction() override;
    // Takes ownership of the message; the function stays the caller's.
    void OnMessage(TMessage* message, TLuaFunction* function) override;
    void NewModalWindow(TModalWindow* modal) override;
    void PushWindow(TWindow* window) override;
    void PopWindow() override;
    // Also defines the Lua constructor of that name; a name that is not a Lua identifier is
    // refused.
    void AddWindowType(const str& name, TClassId id) override;
    // Stops a running movie and wakes the coroutine.
    void CloseRequested() override;
    void ForgetWindow(TWindow* window) override;
    // The text runs as a command inside the coroutine when it waits for a message, as the
    // coroutine itself when there is none, and otherwise at once in a coroutine of its own,
    // whose waits (a modal window it opened) the coroutine takes over at its next wait for a
    // message. The window is current until the text first waits. Unless it runs as the waiting
    // coroutine's command, its failure before or after a wait is reported as DoLuaString's.
    void RunInWindow(TWindow* window, const str& code) override;

    // The window that the table at `index` describes, created under the current window and
    // made current; null when its type is unknown or it could not be placed.
    TWindow* CreateCustomWindow(lua_State* L, int index);
    // Adopts the window into the current window, initialises it from the style and makes it
    // current. A refused window is deleted.
    bool InitWindow(TWindow* window, TWindowStyle& style);
    void SetCreationHook(TWindowCreationHook* hook) { mCreationHook = hook; }
    size_t GetWindowStackDepth() const { return mDepth; }

    // What HandleGetMessage does: waits (delay in milliseconds, or until a message when
    // negative) and yields the value of "gYieldResult". In a coroutine that a driver of the
    // interface follows (IsFollowedCoroutine) it yields the delay to that driver instead.
    int WaitForMessage(lua_State* L, int delay);
    bool IsWaitingForMessage() const { return mWaiting; }
    // Suspended in a yield and not being resumed right now.
    bool IsSuspended() const;

    bool StartMovie(const str& name, bool translate, bool allowInput);
    bool IsMoviePlaying();
    void StopMovie();

private:
    int ResumeCoroutine(int args);
    // The closure that reports text run at once that failed after its first wait: upvalue 1
    // the script, upvalue 2 the text; the error is its argument.
    static int ReportTextFailure(lua_State* L);
    // Pushes the message as Lua sees it; a wrapper of a Lua message is freed here.
    void PushOwnedMessage(TMessage* message);
    // table.insert(<global>, value on the top), popping the value.
    void AppendToGlobalList(const char* list);

    // Text that RunInWindow ran while the coroutine was busy and that waits: the window and
    // the command that goes on with it (a registry reference).
    struct TPendingText
    {
        TWindow* window;
        int chunk;
    };
    std::vector<TPendingText> mPending;
    void ForgetPendingText();
    // A pending text's window is current until the coroutine next waits.
    bool mPopAtWait = false;
    // Text run with no coroutine that waits has become the coroutine; its failure is the text's.
    bool mTextIsCoroutine = false;
    str mText;

    size_t mDepth = 0;
    // Counts the modal windows opened: one opened by text run in a window empties the window
    // stack, so that window is no longer there to pop afterwards.
    unsigned mModalsOpened = 0;
    bool mWaiting = false;
    int mResuming = 0;
    TWindowCreationHook* mCreationHook = nullptr;
    std::unique_ptr<TMoviePlayer> mMovie;
};
