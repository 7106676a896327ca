#include "ui/window/modal_window.h"

#include "core/debug/debug_log.h"
#include "core/platform/event.h"
#include "core/script/message.h"
#include "ui/window/button_control.h"
#include "ui/window/message_types.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_spider.h"

#include <cctype>

TModalWindow::TModalWindow() : mTasks(std::make_unique<TTaskList>())
{
    AddFlags(kModalRoot | kFocusable);
}

TModalWindow::~TModalWindow()
{
    // Scripts waiting for this window learn that it is gone.
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->PostWindowMessage(new TMessage(kModalClosed, WindowIdText(GetId()), nullptr));
    mTasks.reset();
}

void TModalWindow::AdoptTask(TTask* task)
{
    if (!task)
        return;
    if (mTasks)
        mTasks->AdoptTask(task);
    else
        delete task;
}

void TModalWindow::DestroyTasks()
{
    if (mTasks)
        mTasks->DestroyAll();
}

void TModalWindow::DoModalProcess(TTask::ETaskContext context)
{
    if (mTasks)
        mTasks->DoAll(context);
}

void TModalWindow::SetDefaultFocus(TWindow* window)
{
    mDefaultFocus = window;
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!wm || wm->GetFocusWindow() != this)
        return;
    wm->SetFocusWindow(window);
    if (window)
        window->OnSetFocus(this);
}

void TModalWindow::OnSetFocus(TWindow*)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!mDefaultFocus || !wm)
        return;
    TWindow* current = wm->GetFocusWindow();
    wm->SetFocusWindow(mDefaultFocus);
    mDefaultFocus->OnSetFocus(current);
}

str TModalWindow::NormalizeKeyString(const str& spec)
{
    str lower = spec;
    lower.downcase();
    const unsigned n = lower.length();
    if (n == 0)
        return str();
    str result;
    if (n != 1 && lower[0] == '@') {
        result = "@";
    } else {
        if (lower.find(str("shift-")) != str::npos)
            result += "shift-";
        if (lower.find(str("ctrl-")) != str::npos || lower.find(str("control-")) != str::npos)
            result += "ctrl-";
        if (lower.find(str("alt-")) != str::npos)
            result += "alt-";
    }
    result += static_cast<char>(std::toupper(static_cast<unsigned char>(lower[n - 1])));
    return result;
}

void TModalWindow::AddHotkey(str key, str button)
{
    const str normalized = NormalizeKeyString(key);
    if (button.empty())
        mHotkeys.erase(normalized);
    else
        mHotkeys[normalized] = button;
}

void TModalWindow::PressButton(const str& name)
{
    TWindow* window = GetChildWindow(name, unsigned(-1));
    TButtonControl* button = AsButton(window);
    if (!button) {
        WriteDbg("ERROR: Hot key button not found. Button:'%s'", name.c_str());
        return;
    }
    // A button switched on since the last frame is not there for the key until a frame shows
    // it; a hidden one answers its key.
    TWindowManager* wm = TWindowManager::GetInstance();
    if (window->IsVisible() && wm && wm->IsUndrawn(window))
        return;
    button->Press();
}

bool TModalWindow::OnKeyDown(char key, unsigned int modifiers)
{
    str description;
    if (modifiers & TEvent::kShiftKey)
        description += "shift-";
    if (modifiers & TEvent::kControlKey)
        description += "ctrl-";
    if (modifiers & TEvent::kOptionKey)
        description += "alt-";
    description += key;
    auto found = mHotkeys.find(NormalizeKeyString(description));
    if (found == mHotkeys.end())
        found = mHotkeys.find(str("@") + key);
    if (found == mHotkeys.end())
        return false;
    // The table may change while the button acts.
    const str button = found->second;
    PressButton(button);
    return true;
}

bool TModalWindow::OnChar(char c)
{
    if (c != TEvent::kEnter && c != TEvent::kEscape)
        return false;
    FindDefault buttons;
    ForEachChild(buttons);
    if (c == TEvent::kEnter && buttons.mDefault && buttons.mDefault->DoCommand())
        return true;
    if (c == TEvent::kEscape && buttons.mCancel && buttons.mCancel->DoCommand())
        return true;
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindow* target = wm && wm->GetFocusWindow() ? wm->GetFocusWindow() : this;
    target->SendWindowMessage(new TMessage(kDefaultAction, str(), nullptr));
    return true;
}

bool TModalWindow::OnMessage(TMessage* message)
{
    if (!message || message->GetType() != kCloseWindow)
        return false;
    // A close names the window it closes; one without a name closes nothing.
    if (message->GetName().empty())
        return true;
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->PopModal(message->GetName());
    return true;
}

bool TModalWindow::OnNewParent()
{
    mClock.Start();
    return true;
}

void TModalWindow::PostChildrenInit(TWindowStyle& style)
{
    FitToChildren();
    TWindow::PostChildrenInit(style);
}

void TModalWindow::SetOpaqueChild(TWindow* child, bool opaque)
{
    if (opaque)
        mOpaque.insert(child);
    else
        mOpaque.erase(child);
    SetFlags(mOpaque.empty() ? GetFlags() & ~kOpaque : GetFlags() | kOpaque);
}
