#include "ui/window/window_manager.h"

#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/script/message.h"
#include "core/time/time_source.h"
#include "render/renderer/renderer.h"
#include "ui/window/carried_message.h"
#include "ui/window/dialog.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_script_base.h"
#include "ui/window/window_spider.h"

#include <algorithm>

namespace {

TWindowManager* gStandalone = nullptr;

int LuaSetTopModalOnly(lua_State* L)
{
    // Looked up at each call: the Lua state may outlive the manager.
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->SetTopModalOnly(lua_toboolean(L, 1) != 0);
    return 0;
}

}  // namespace

TWindowManager::TWindowManager()
{
    if (!gStandalone)
        gStandalone = this;
}

TWindowManager::~TWindowManager()
{
    mHandlers.clear();
    mHoverHandler.reset();
    while (!mModalStack.empty())
        _PopModal();
    ClearDestroyedWindows();
    while (!mOverlays.empty()) {
        TWindow* overlay = mOverlays.front();
        mOverlays.pop_front();
        delete overlay;
    }
    while (!mMessages.empty()) {
        TMessage* message = mMessages.front();
        mMessages.pop_front();
        delete message;
    }
    mLayerTarget.reset();
    if (gStandalone == this)
        gStandalone = nullptr;
}

TWindowManager* TWindowManager::GetInstance()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        if (TWindowManager* wm = platform->GetWindowManager())
            return wm;
    return gStandalone;
}

// --- what the manager asks of the platform ---

uint32_t TWindowManager::Now() const
{
    if (mClock)
        return mClock();
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->Timer();
    return TimerNow();
}

bool TWindowManager::IsForeground() const
{
    if (mForeground)
        return mForeground();
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->IsForeground() : true;
}

int TWindowManager::CursorMode() const
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->GetCursorMode() : 0;
}

void TWindowManager::Exit(int code)
{
    if (mExit)
        mExit(code);
    else if (TPlatform* platform = TPlatform::GetInstance())
        platform->Exit(code);
    else
        WriteDbg("Quit requested with no platform to end");
}

bool TWindowManager::OverlayMouse() const
{
    return TPlatform::GetConfig(TPlatform::kOverlayWindowMouseEvents, "").to_int() != 0;
}

// --- events ---

void TWindowManager::HandleEvent(TEvent* event)
{
    if (!event || event->type == TEvent::kNothing)
        return;
    if (event->type == TEvent::kReleaseLayer)
        mLayerTarget.reset();
    ClearDestroyedWindows();
    if (mModalStack.empty())
        return;
    TModalWindow* top = mModalStack.front();
    if (!top) {
        Exit(0);
        return;
    }
    TEvent copy = *event;
    switch (event->type) {
    case TEvent::kIdle:
        top->DoModalProcess(TTask::kIdleContext);
        DispatchMessages();
        DrawStack();
        DispatchMessages();
        break;
    case TEvent::kRedraw:
        mScreenInvalid = true;
        DispatchMessages();
        DrawStack();
        DispatchMessages();
        break;
    case TEvent::kMouseDown:
    case TEvent::kMouseExtended:
    case TEvent::kMouseUp:
    case TEvent::kMouseMove:
    case TEvent::kMouseHover:
        if (RouteMouse(copy))
            DispatchMessages();
        break;
    case TEvent::kMouseLeave:
        if (!mListeners.empty())
            RouteToListeners(copy, true);
        DispatchMessages();
        break;
    case TEvent::kKeyDown:
    case TEvent::kKeyUp:
    case TEvent::kChar:
    case TEvent::kUnicodeChar: {
        // Typed before a frame showed the window (the character that follows the key press
        // that opened it, say): it was meant for what was on the screen.
        TWindow* target = mFocus ? mFocus : top;
        if (!IsUndrawn(target))
            target->HandleEvent(&copy, false);
        DispatchMessages();
        break;
    }
    case TEvent::kActivate: break;
    default:
        DispatchMessages();
        if (TModalWindow* now = GetTopModalWindow())
            now->HandleEvent(event, false);
        break;
    }
}

// --- modal stack ---

TModalWindow* TWindowManager::GetTopModalWindow() const
{
    return mModalStack.empty() ? nullptr : mModalStack.front();
}

void TWindowManager::FocusModal(TModalWindow* modal, TWindow* previous)
{
    mFocus = modal;
    modal->OnSetFocus(previous);
}

void TWindowManager::PushModal(TModalWindow* modal)
{
    if (!modal || std::find(mModalStack.begin(), mModalStack.end(), modal) != mModalStack.end()) {
        WriteDbg("PushModal refused: no window, or one already on the stack");
        return;
    }
    mHovered = nullptr;
    if (!mListeners.empty()) {
        std::list<TWindow*> former;
        former.swap(mListeners);
        mListenersChanged = true;
        for (TWindow* listener : former)
            listener->OnMouseLeave();
    }
    TModalWindow* previous = GetTopModalWindow();
    mModalStack.push_front(modal);
    if (previous) {
        previous->AdoptChild(modal, false);
        previous->GetClock().Pause();
    }
    FocusModal(modal, mFocus);
    if (mScript)
        mScript->NewModalWindow(modal);
    modal->OnNewParent();
    if (modal->GetWindowWidth() == 0 && modal->GetParent())
        modal->SetWindowSize(modal->GetParent()->GetWindowWidth(), modal->GetParent()->GetWindowHeight());
    OnTreeChange(modal);
}

TDialog* TWindowManager::DisplayDialog(str script, str body, str title, str name)
{
    auto* dialog = new TDialog(script, body, title);
    dialog->SetName(name);
    PushModal(dialog);
    return dialog;
}

void TWindowManager::_PopModal()
{
    if (mModalStack.empty())
        return;
    TModalWindow* popped = mModalStack.front();
    if (popped && popped->GetParent())
        popped->GetParent()->OrphanChild(popped);
    if (popped)
        SafeDestroyWindow(popped);
    mModalStack.pop_front();
    if (popped)
        popped->DestroyTasks();

    if (TModalWindow* top = GetTopModalWindow()) {
        if (mScript)
            mScript->NewModalWindow(top);
        FocusModal(top, mFocus);
    } else if (mScript) {
        mScript->NewModalWindow(nullptr);
    }
    if (popped) {
        TModalPoppedSpider spider;
        popped->ForEachChild(spider);
    }
    mScreenInvalid = true;
    mDrawAborted = true;
}

void TWindowManager::PopModal(str name)
{
    mHovered = nullptr;
    TWindow* match = nullptr;
    for (TWindow* w = GetTopModalWindow(); w; w = w->GetParent()) {
        if (w->GetName() == name || WindowIdText(w->GetId()) == name) {
            match = w;
            break;
        }
    }
    const bool onStack =
        match && std::any_of(mModalStack.begin(), mModalStack.end(), [match](TModalWindow* m) { return m == match; });
    if (onStack) {
        for (;;) {
            TModalWindow* popped = GetTopModalWindow();
            _PopModal();
            if (!popped || popped == match)
                break;
        }
    } else if (match) {
        WriteDbg("PopModal: '%s' is not a window of the modal stack", name.c_str());
    }
    // The new top was paused when the popped windows covered it.
    if (TModalWindow* top = GetTopModalWindow())
        top->GetClock().Start();
}

void TWindowManager::SetScreen(TModalWindow* screen)
{
    if (!screen)
        return;
    mScreen = screen;
    PushModal(screen);
    TRect viewport;
    TRenderer::GetInstance()->GetViewport(&viewport);
    screen->SetWindowSize(viewport.right - viewport.left, viewport.bottom - viewport.top);
    screen->OnNewParent();
}

// --- listeners, overlays, handlers ---

void TWindowManager::AddMouseListener(TWindow* window)
{
    if (window && !IsMouseListener(window))
        mListeners.push_front(window);
}

void TWindowManager::RemoveMouseListener(TWindow* window)
{
    const auto found = std::find(mListeners.begin(), mListeners.end(), window);
    if (found == mListeners.end())
        return;
    mListeners.erase(found);
    mListenersChanged = true;
}

bool TWindowManager::IsMouseListener(const TWindow* window) const
{
    return std::find(mListeners.begin(), mListeners.end(), window) != mListeners.end();
}

void TWindowManager::AddOverlayWindow(TWindow* window)
{
    if (window && std::find(mOverlays.begin(), mOverlays.end(), window) == mOverlays.end()) {
        mOverlays.push_back(window);
        OnTreeChange(window);
    }
}

void TWindowManager::AddMessageHandler(std::unique_ptr<TMessageHandler> handler)
{
    if (handler)
        mHandlers.push_back(std::move(handler));
}

void TWindowManager::SetHoverHandler(std::unique_ptr<THoverHandler> handler)
{
    mHoverHandler = std::move(handler);
}

bool TWindowManager::OnMouseHover(TWindow* window, const TPoint& point)
{
    return mHoverHandler ? mHoverHandler->OnMouseHover(window, point) : false;
}

// --- messages ---

void TWindowManager::PostWindowMessage(TMessage* message)
{
    if (message)
        mMessages.push_back(message);
}

void TWindowManager::DispatchMessages()
{
    while (!mMessages.empty()) {
        TMessage* message = mMessages.front();
        mMessages.pop_front();
        DispatchWindowMessage(message);
    }
}

void TWindowManager::DispatchWindowMessage(TMessage* message)
{
    if (!message)
        return;
    if (message->GetType() == kQuitNow) {
        delete message;
        Exit(0);
        return;
    }
    if (TWindow* target = message->GetTarget()) {
        target->SendWindowMessage(message);
        return;
    }
    TMessage* carried = CarriedMessage(message);
    // By index: a handler may add another.
    for (size_t i = 0; i < mHandlers.size(); ++i) {
        if (mHandlers[i]->HandleMessage(carried)) {
            delete message;
            return;
        }
    }
    if (TWindow* receiver = mFocus ? mFocus : GetTopModalWindow())
        receiver->SendWindowMessage(message);
    else
        delete message;
}

void TWindowManager::OnScriptMessage(TMessage* message, TLuaFunction* function)
{
    if (mScript)
        mScript->OnMessage(message, function);
    else
        delete message;
}

// --- destruction ---

void TWindowManager::SafeDestroyWindow(TWindow* window)
{
    if (!window)
        return;
    mHovered = nullptr;
    if (std::find(mDestroyed.begin(), mDestroyed.end(), window) == mDestroyed.end())
        mDestroyed.push_back(window);
    for (TMessage* message : mMessages)
        if (message->GetTarget() && window->Contains(message->GetTarget()))
            message->SetTarget(nullptr);
    mListeners.remove(window);
}

void TWindowManager::ClearDestroyedWindows()
{
    if (mDestroyed.empty())
        return;
    mHovered = nullptr;
    // One at a time: deleting a window may delete (and so unlist) others of the list.
    while (!mDestroyed.empty()) {
        TWindow* window = mDestroyed.front();
        mDestroyed.pop_front();
        delete window;
    }
    mScreenInvalid = true;
}

void TWindowManager::OnDestroyWindow(TWindow* window)
{
    if (mHovered == window)
        mHovered = nullptr;
    if (mFocus == window)
        mFocus = nullptr;
    if (IsMouseListener(window)) {
        mListeners.remove(window);
        mListenersChanged = true;
    }
    if (static_cast<TWindow*>(mScreen) == window)
        mScreen = nullptr;
    mModalStack.remove_if([window](TModalWindow* m) { return static_cast<TWindow*>(m) == window; });
    mDestroyed.remove(window);
    mOverlays.remove(window);
    mUndrawn.erase(window);
    for (TMessage* message : mMessages)
        if (message->GetTarget() == window)
            message->SetTarget(nullptr);
    for (TModalWindow* modal : mModalStack)
        if (modal && modal->GetDefaultFocus() == window)
            modal->SetDefaultFocus(nullptr);
    if (mScript)
        mScript->ForgetWindow(window);
}

// --- script ---

void TWindowManager::AttachWindowScript(TWindowScriptBase* script)
{
    if (!script)
        return;
    mScript = script;
    if (TModalWindow* top = GetTopModalWindow())
        script->PushWindow(top);
    lua_State* L = script->GetState();
    lua_pushstring(L, "SetTopModalOnly");
    lua_pushcfunction(L, &LuaSetTopModalOnly);
    lua_rawset(L, LUA_GLOBALSINDEX);
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->AdoptTask(script);
    else
        mOwnedScript.reset(script);
}

void TWindowManager::AddWindowType(const str& name, TClassId id)
{
    if (mScript)
        mScript->AddWindowType(name, id);
}

void TWindowManager::EnableStringTable(bool enable)
{
    if (mScript)
        mScript->EnableStringTable(enable);
}

void TWindowManager::DoLuaString(TWindow* window, str code)
{
    if (!mScript) {
        WriteDbg("DoLuaString: no window script attached");
        return;
    }
    mScript->RunInWindow(window, code);
}
