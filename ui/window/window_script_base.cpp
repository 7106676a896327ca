#include "ui/window/window_script_base.h"

#include "core/script/lua_function.h"
#include "core/script/message.h"

#include <algorithm>

TWindowScriptBase::TWindowScriptBase(lua_State* L) : TScript(L) {}

TWindowScriptBase::~TWindowScriptBase() = default;

void TWindowScriptBase::OnMessage(TMessage* message, TLuaFunction*)
{
    delete message;
}

void TWindowScriptBase::NewModalWindow(TModalWindow*) {}

void TWindowScriptBase::PushWindow(TWindow* window)
{
    mWindows.push_back(window);
}

void TWindowScriptBase::PopWindow()
{
    if (!mWindows.empty())
        mWindows.pop_back();
}

TWindow* TWindowScriptBase::GetCurrentWindow() const
{
    return mWindows.empty() ? nullptr : mWindows.back();
}

void TWindowScriptBase::AddWindowType(const str& name, TClassId id)
{
    mTypes[name] = id;
}

TClassId TWindowScriptBase::GetWindowType(const str& name) const
{
    const auto found = mTypes.find(name);
    return found == mTypes.end() ? 0 : found->second;
}

void TWindowScriptBase::RunInWindow(TWindow* window, const str& code)
{
    PushWindow(window);
    DoLuaString(code, -1, 0);
    PopWindow();
}

void TWindowScriptBase::ForgetWindow(TWindow* window)
{
    std::replace(mWindows.begin(), mWindows.end(), window, static_cast<TWindow*>(nullptr));
}
