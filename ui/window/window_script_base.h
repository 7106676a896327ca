#pragma once
// The window manager's side of the Lua layout script: the one Lua state that layouts and game
// logic share, and the calls the manager makes into it (message delivery, the top modal
// window, the current window of layout code, window types by name). The layout library
// derives from this; on its own it delivers no messages to Lua.
//   TWindowScriptBase* script = new TWindowScriptBase;
//   TWindowManager::GetInstance()->AttachWindowScript(script);

#include "core/script/script.h"
#include "core/system/class_id.h"
#include "core/text/str.h"

#include <map>
#include <vector>

class TLuaFunction;
class TMessage;
class TModalWindow;
class TWindow;

class TWindowScriptBase : public TScript
{
public:
    // A null state makes one of its own.
    explicit TWindowScriptBase(lua_State* L = nullptr);
    ~TWindowScriptBase() override;

    // Takes ownership of the message (null with a function: the function starts as a script
    // thread). Here the message is deleted.
    virtual void OnMessage(TMessage* message, TLuaFunction* function);
    // The window now on top of the modal stack (null when the stack is empty).
    virtual void NewModalWindow(TModalWindow* modal);
    // The window that layout code works on; Pop goes back to the one before.
    virtual void PushWindow(TWindow* window);
    virtual void PopWindow();
    TWindow* GetCurrentWindow() const;
    // The window types that layouts may create, by name.
    virtual void AddWindowType(const str& name, TClassId id);
    TClassId GetWindowType(const str& name) const;
    virtual void EnableStringTable(bool enable) { mStringTable = enable; }
    bool StringTableEnabled() const { return mStringTable; }
    // The player asked to close the program.
    virtual void CloseRequested() {}
    // A window is going away: it stops being a current window.
    virtual void ForgetWindow(TWindow* window);
    // Runs Lua text with the window as the current window (TWindowManager::DoLuaString). Here
    // at once, in the state's own thread.
    virtual void RunInWindow(TWindow* window, const str& code);

private:
    std::vector<TWindow*> mWindows;
    std::map<str, TClassId> mTypes;
    bool mStringTable = false;
};
