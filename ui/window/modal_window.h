#pragma once
// The root of one layer of the interface (the screen, dialogs, pushed layouts): it owns the
// tasks that animate its contents and a clock that stands still while another modal window
// covers it, hands the keyboard focus to its default window, knows which descendants cover
// it completely, presses buttons by hot key and turns Enter and Escape into its default and
// cancel buttons' commands.
//   modal->AddHotkey("ctrl-q", "quit");
//   TWindowManager::GetInstance()->PushModal(modal);

#include "core/time/clock.h"
#include "core/time/task.h"
#include "ui/window/window.h"

#include <map>
#include <memory>
#include <set>

class TModalWindow : public TWindow
{
    TV_CLASS(TModalWindow, TWindow)

public:
    TModalWindow();
    ~TModalWindow() override;

    // The task list takes ownership.
    void AdoptTask(TTask* task);
    void DestroyTasks();
    void DoModalProcess(TTask::ETaskContext context);
    TTaskList* GetTaskList() const { return mTasks.get(); }
    TClock& GetClock() { return mClock; }

    void SetDefaultFocus(TWindow* window);
    TWindow* GetDefaultFocus() const { return mDefaultFocus; }

    // "Control-Shift-s" gives "shift-ctrl-S": modifiers in the order shift, ctrl, alt, then
    // the last character upper-cased; "@x" gives "@X" (any modifiers).
    static str NormalizeKeyString(const str& spec);
    // An empty button name removes the key.
    virtual void AddHotkey(str key, str button);
    // The hot-key table, keyed by normalized key string.
    const std::map<str, str>& GetHotkeys() const { return mHotkeys; }
    // Presses the button of that name anywhere below; logs when there is none.
    void PressButton(const str& name);

    void SetOpaqueChild(TWindow* child, bool opaque);
    bool HasOpaqueChild(TWindow* child) const { return mOpaque.count(child) != 0; }

    bool OnNewParent() override;
    void PostChildrenInit(TWindowStyle& style) override;
    bool OnMessage(TMessage* message) override;
    bool OnChar(char c) override;
    bool OnKeyDown(char key, unsigned int modifiers) override;
    void OnSetFocus(TWindow* previous) override;

private:
    std::unique_ptr<TTaskList> mTasks;
    TWindow* mDefaultFocus = nullptr;
    // Compared only, never followed.
    std::set<TWindow*> mOpaque;
    TClock mClock;
    std::map<str, str> mHotkeys;
};
