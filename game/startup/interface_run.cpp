#include "game/startup/interface_run.h"

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "core/script/message.h"
#include "core/script/script_interrupt.h"
#include "game/script/df_log.h"
#include "ui/script/window_script.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <lua.h>

#include <algorithm>
#include <string>

namespace {

constexpr const char* kErrorDialog = "scripts/ok.lua";
constexpr const char* kEndingWords = "The game cannot go on: its file %s is missing or damaged. Reinstalling the "
                                     "game puts it right; saved games are kept.\n\n%s";
constexpr const char* kRestartWords = "%s\n\nThe game has gone back to its first screen.";

TWindowScriptBase* Script()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    return wm ? wm->GetScript() : nullptr;
}

bool IsShown(const TWindowManager& wm, const str& name)
{
    const auto& stack = wm.GetModalStack();
    return std::any_of(stack.begin(), stack.end(), [&](const TModalWindow* w) { return w && w->GetName() == name; });
}

// What the stopped interface left queued would reach the new one as if meant for it.
void ForgetQueued(lua_State* L)
{
    for (const char* list : {"gMessageQueue", "gCommandQueue", "gClosedWindows"}) {
        lua_pushstring(L, list);
        lua_newtable(L);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
    lua_pushstring(L, "gReturnValue");
    lua_pushnil(L);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

}  // namespace

str FileOfLuaError(const str& error)
{
    const std::string text = error.c_str();
    const size_t end = text.find(".lua");
    if (end == std::string::npos)
        return str();
    size_t start = end;
    while (start > 0 && text[start - 1] != ' ' && text[start - 1] != '"' && text[start - 1] != '\'' &&
           text[start - 1] != '@' && text[start - 1] != '\n' && text[start - 1] != '\t')
        --start;
    std::string file = text.substr(start, end + 4 - start);
    if (file.rfind("assets/", 0) == 0)
        file = file.substr(7);
    return str(file.c_str());
}

TInterfaceRun::TInterfaceRun(TPlatform* platform, str script) : mPlatform(platform), mScript(std::move(script))
{
    SetLayoutFailureReport([this](const str& error) {
        // Told in the middle of a resume: the screens go at the next turn of the loop.
        if (!mStopped)
            mStopError = error;
        mStopped = true;
    });
}

TInterfaceRun::~TInterfaceRun()
{
    SetLayoutFailureReport(nullptr);
}

bool TInterfaceRun::Start()
{
    TWindowScriptBase* script = Script();
    if (!script) {
        LOGIT("No window script to run %s\n", mScript.c_str());
        return false;
    }
    if (!TFile::Exists(mScript)) {
        Fail(mScript, "It is not there, or it is not a file that can be read.");
        return false;
    }
    if (script->RunScript(mScript) && script->CoroutineActive())
        return true;
    // A chunk that returned no function never started; one that did may have failed at once
    // (the first screen it opens did not open).
    LOGIT("The interface script %s did not start\n", mScript.c_str());
    const str error = script->ResumeError();
    const str file = FileOfLuaError(error);
    Fail(file.empty() ? mScript : file, error.empty() ? str("It does not start the game's screens.") : error);
    return false;
}

void TInterfaceRun::Fail(const str& file, const str& error)
{
    if (mFailed)
        return;
    mFailed = true;
    LOGIT("The game cannot go on without %s: %s\n", file.c_str(), error.c_str());
    Tell(file, str::getFormatted(kEndingWords, file.c_str(), error.c_str()), true);
}

void TInterfaceRun::Tell(const str& file, const str& words, bool ending)
{
    TWindowManager* wm = mPlatform ? mPlatform->GetWindowManager() : nullptr;
    if (wm && TFile::Exists(kErrorDialog)) {
        const str name = str::getFormatted("interface_error%d", ++mDialogs);
        wm->DisplayDialog(kErrorDialog, str("#") + words, str("#") + file, name);
        if (ending)
            mEndingDialog = name;
        return;
    }
    if (mPlatform)
        mPlatform->ShowMessageBox(file, words);
    if (ending && wm && !mQuitPosted) {
        mQuitPosted = true;
        wm->PostWindowMessage(new TMessage(kQuitNow, "quit", nullptr));
    }
}

void TInterfaceRun::Restart()
{
    mStopped = false;
    const str error = mStopError;
    const str file = FileOfLuaError(error);
    LOGIT("The interface stopped on an error in %s; it starts again\n", file.empty() ? mScript.c_str() : file.c_str());
    TWindowManager* wm = mPlatform ? mPlatform->GetWindowManager() : nullptr;
    TWindowScriptBase* script = Script();
    if (!wm || !script)
        return;
    while (wm->GetModalStack().size() > 1 && wm->GetTopModalWindow() != wm->GetScreen())
        wm->_PopModal();
    ForgetQueued(script->GetState());
    if (Start())
        Tell(file.empty() ? mScript : file, str::getFormatted(kRestartWords, error.c_str()), false);
}

bool TInterfaceRun::DoTask()
{
    // While a held main thread is being stopped, every script run fails: the screens come back
    // once the loop has turned.
    if (mStopped && !mFailed && !IsScriptInterruptArmed())
        Restart();
    TWindowManager* wm = mPlatform ? mPlatform->GetWindowManager() : nullptr;
    if (wm && !mEndingDialog.empty() && !mQuitPosted && !IsShown(*wm, mEndingDialog)) {
        LOGIT("The player closed the words on %s; the game ends\n", mEndingDialog.c_str());
        mQuitPosted = true;
        wm->PostWindowMessage(new TMessage(kQuitNow, "quit", nullptr));
    }
    return true;
}
