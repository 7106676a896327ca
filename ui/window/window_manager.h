#pragma once
// The one object that drives the window tree: every event of the main loop comes here. It
// keeps the stack of modal windows (the screen at the bottom), routes mouse events to mouse
// listeners, overlay windows or the window under the mouse and key events to the focus
// window, queues and delivers messages, destroys windows at the start of the next event, and
// draws the stack once per idle event when something invalidated the screen.
//   TWindowManager* wm = TWindowManager::GetInstance();
//   wm->PushModal(dialog);
//   wm->HandleEvent(&event);
//
// A press or key reaches only what a frame has shown: a change to the window tree is drawn in the
// turn that made it, whatever the frame gap, and a window that came into view since the last
// frame drawn takes no press or key until one has shown it.
//
// The clock, the foreground state and the exit request are injectable, so frame throttling
// is testable without sleeping.

#include "core/platform/event.h"
#include "core/text/str.h"
#include "ui/window/window.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <unordered_set>
#include <vector>

class TDialog;
class TLuaFunction;
class TMessage;
class TModalWindow;
class TTexture;
class TWindowScriptBase;

// Offered every untargeted message before the focus window; true accepts it.
class TMessageHandler
{
public:
    virtual ~TMessageHandler() = default;
    virtual bool HandleMessage(TMessage* message) = 0;
};

// Answers TWindow::OnMouseHover for every window.
class THoverHandler
{
public:
    virtual ~THoverHandler() = default;
    virtual bool OnMouseHover(TWindow* window, const TPoint& point) = 0;
};

class TWindowManager
{
public:
    using TClockFunction = std::function<uint32_t()>;
    using TForegroundFunction = std::function<bool()>;
    using TExitFunction = std::function<void(int)>;

    TWindowManager();
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The platform's manager; without a platform object, the manager built first.
    static TWindowManager* GetInstance();

    void HandleEvent(TEvent* event);
    void InvalidateScreen() { mScreenInvalid = true; }
    bool IsScreenInvalid() const { return mScreenInvalid; }

    // --- modal stack ---
    void PushModal(TModalWindow* modal);
    // A dialog running the Lua script with the body and title, named and pushed.
    TDialog* DisplayDialog(str script, str body, str title, str name);
    // Pops down to and including the window named `name` (or whose id text it is).
    void PopModal(str name);
    void _PopModal();
    TModalWindow* GetTopModalWindow() const;
    const std::list<TModalWindow*>& GetModalStack() const { return mModalStack; }
    void SetTopModalOnly(bool on) { mTopModalOnly = on; }
    // Installs the screen window as the bottom of the stack, sized to the renderer's viewport.
    void SetScreen(TModalWindow* screen);
    TModalWindow* GetScreen() const { return mScreen; }

    // --- focus, hover, listeners, overlays ---
    TWindow* GetFocusWindow() const { return mFocus; }
    // Makes the window the focus window (no notification).
    void SetFocusWindow(TWindow* window) { mFocus = window; }
    TWindow* GetHoveredWindow() const { return mHovered; }
    void AddMouseListener(TWindow* window);
    void RemoveMouseListener(TWindow* window);
    bool IsMouseListener(const TWindow* window) const;
    const std::list<TWindow*>& GetMouseListeners() const { return mListeners; }
    // The manager owns overlay windows.
    void AddOverlayWindow(TWindow* window);
    void AddMessageHandler(std::unique_ptr<TMessageHandler> handler);
    void SetHoverHandler(std::unique_ptr<THoverHandler> handler);
    bool OnMouseHover(TWindow* window, const TPoint& point);

    // --- messages ---
    // Takes ownership.
    void PostWindowMessage(TMessage* message);
    void DispatchMessages();
    void DispatchWindowMessage(TMessage* message);
    // To the window script when one is attached; else the message is deleted.
    void OnScriptMessage(TMessage* message, TLuaFunction* function);
    const std::list<TMessage*>& GetMessageQueue() const { return mMessages; }

    // --- destruction ---
    void SafeDestroyWindow(TWindow* window);
    void ClearDestroyedWindows();
    // The window destructor's notice: nothing here may point to it afterwards.
    void OnDestroyWindow(TWindow* window);

    // --- drawing ---
    void DrawStack();
    void DrawLayer(EDrawMode mode);
    void SetDrawingSuspended(bool on) { mDrawingSuspended = on; }
    void SetOutline(bool on) { mOutline = on; }
    void SetLayerTarget(std::shared_ptr<TTexture> target);
    std::shared_ptr<TTexture> GetLayerTarget() const { return mLayerTarget; }
    // Milliseconds of the last frame drawn.
    uint32_t GetLastDrawTime() const { return mLastDrawTime; }

    // --- what the player has seen ---
    // A window came into the tree or went, or was switched on or off; `appeared` is the window
    // that came into view (null when one went).
    void OnTreeChange(TWindow* appeared);
    // Whether the window, or one above it up to its modal root, came into view after the last
    // frame drawn.
    bool IsUndrawn(const TWindow* window) const;

    // --- script ---
    // The manager keeps the script on the platform's task list (or, without a platform,
    // owns it).
    void AttachWindowScript(TWindowScriptBase* script);
    TWindowScriptBase* GetScript() const { return mScript; }
    void AddWindowType(const str& name, TClassId id);
    void EnableStringTable(bool enable);
    // Runs the code with the window as the script's current window, in a coroutine of the
    // script, so that a DoModal inside waits for its window while frames go on; the call
    // returns at the code's first wait.
    void DoLuaString(TWindow* window, str code);

    // --- what the manager asks of the platform ---
    void SetClock(TClockFunction clock) { mClock = std::move(clock); }
    void SetForegroundQuery(TForegroundFunction query) { mForeground = std::move(query); }
    void SetExitHandler(TExitFunction exit) { mExit = std::move(exit); }

private:
    uint32_t Now() const;
    bool IsForeground() const;
    int CursorMode() const;
    void Exit(int code);
    bool OverlayMouse() const;
    // False when the event was dropped before any window saw it.
    bool RouteMouse(const TEvent& event);
    void RouteToListeners(const TEvent& event, bool leaveOnly);
    // A press (button down or up) on a window that no frame has shown yet.
    bool IsPressOnUndrawn(const TEvent& event, const TWindow* window) const;
    // A press on `target`, which no frame has shown yet, inside the top modal window `top`.
    bool RouteBehindUndrawn(const TEvent& event, TWindow* target, TModalWindow* top);
    void SetHovered(TWindow* window);
    void PostUnhandledMouse(const TEvent& event);
    void DrawOutline();
    void FocusModal(TModalWindow* modal, TWindow* previous);

    std::shared_ptr<TTexture> mLayerTarget;
    TModalWindow* mScreen = nullptr;
    bool mDrawAborted = false;
    uint32_t mLastDrawTime = 0;
    std::list<TModalWindow*> mModalStack;
    std::list<TWindow*> mDestroyed;
    std::list<TWindow*> mOverlays;
    bool mDrawingSuspended = false;
    bool mTopModalOnly = false;
    bool mScreenInvalid = true;
    bool mOutline = false;
    bool mListenersChanged = false;
    // Changed since the last frame drawn: the next frame does not wait for the frame gap.
    bool mTreeChanged = false;
    // Presses are judged from the first frame on: before it there is no picture to judge them
    // by, and a manager driven without drawing routes them where they land.
    bool mFrameDrawn = false;
    // Windows come into view since the last frame drawn.
    std::unordered_set<const TWindow*> mUndrawn;
    TWindow* mHovered = nullptr;
    std::list<TWindow*> mListeners;
    TWindow* mFocus = nullptr;
    TWindowScriptBase* mScript = nullptr;
    std::unique_ptr<TWindowScriptBase> mOwnedScript;
    std::list<TMessage*> mMessages;
    std::vector<std::unique_ptr<TMessageHandler>> mHandlers;
    std::unique_ptr<THoverHandler> mHoverHandler;

    TClockFunction mClock;
    TForegroundFunction mForeground;
    TExitFunction mExit;
};
