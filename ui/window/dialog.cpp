#include "ui/window/dialog.h"

#include "core/debug/debug_log.h"
#include "core/platform/browser.h"
#include "core/platform/platform.h"
#include "core/script/lua_function.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/message.h"
#include "ui/window/message_types.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <cstring>

namespace {

constexpr char kLinkPrefix[] = "http=";

TDialog::TBrowserOpener& Opener()
{
    static TDialog::TBrowserOpener opener;
    return opener;
}

bool OpenAddress(const char* url)
{
    if (Opener())
        return Opener()(url);
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->OpenBrowser(url);
    return LaunchBrowser(url);
}

// gDialogTable.body and .title, passed as values so no text of theirs is ever run.
void SetDialogTexts(lua_State* L, const str& body, const str& title)
{
    TLuaStackGuard guard(L);
    lua_pushstring(L, "gDialogTable");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushstring(L, "gDialogTable");
        lua_pushvalue(L, -2);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
    lua_pushstring(L, "body");
    lua_pushlstring(L, body.c_str(), body.length());
    lua_rawset(L, -3);
    lua_pushstring(L, "title");
    lua_pushlstring(L, title.c_str(), title.length());
    lua_rawset(L, -3);
}

}  // namespace

TDialog::TDialog(str script, str body, str title) : mScript(script), mBody(body), mTitle(title) {}

TDialog::~TDialog() = default;

void TDialog::SetBrowserOpener(TBrowserOpener opener)
{
    Opener() = std::move(opener);
}

bool TDialog::OnNewParent()
{
    TModalWindow::OnNewParent();
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    if (!script) {
        WriteDbg("Dialog '%s' shown without a window script", mScript.c_str());
        return true;
    }
    lua_State* L = script->GetState();
    SetDialogTexts(L, mBody, mTitle);
    const bool ran = script->RunScript(mScript);
    if (!ran || GetChildren().empty()) {
        // Without its windows nothing could close it, and on top it would take every click
        // and key from the windows below.
        WriteDbg("Dialog '%s' %s; it is closed", mScript.c_str(), ran ? "made no window" : "did not run");
        wm->PostWindowMessage(new TMessage(kCloseWindow, WindowIdText(GetId()), nullptr));
    }
    script->DoLuaString(
        str::getFormatted("function gDialogFunction() WaitForCloseMessage('%s'); end;", WindowIdText(GetId()).c_str()),
        -1, 0);
    lua_pushstring(L, "gDialogFunction");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return true;
    }
    TLuaFunction wait(L);
    wm->OnScriptMessage(nullptr, &wait);
    return true;
}

bool TDialog::OnMessage(TMessage* message)
{
    if (message && std::strncmp(message->GetName().c_str(), kLinkPrefix, sizeof kLinkPrefix - 1) == 0) {
        const str address = message->GetName().substr(sizeof kLinkPrefix - 1);
        if (!address.empty())
            OpenAddress(address.c_str());
        return true;
    }
    return TModalWindow::OnMessage(message);
}
