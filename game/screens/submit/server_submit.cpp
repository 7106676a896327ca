#include "game/screens/submit/server_submit.h"

#include <lua.h>

#include <string>

#include "core/prefs/prefs.h"
#include "core/script/message.h"
#include "core/text/str_view.h"
#include "game/interface/windows/game_window_types.h"
#include "game/interface/windows/layout_script.h"
#include "game/interface/windows/window_helpers.h"
#include "game/screens/hiscore/hiscore.h"
#include "game/screens/settings/settings.h"
#include "game/script/df_log.h"
#include "game/world/strings/localised_strings.h"
#include "online/scores/zv_hiscores.h"
#include "render/text/text_escape.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

namespace {

// Shown when nothing went out: no unsent score or medal, or a name the server cannot take.
constexpr const char* kNotSentKey = "submitnotsent";
constexpr const char* kNotSentText =
    "Nothing was sent: there is no new score or award to send, or the name holds letters the score server does not "
    "accept.";
// Shown as the dialog opens when the game has no score server to send to.
constexpr const char* kNoServerKey = "submit_noserver";
constexpr const char* kNoServerText = "No score server is set up for this game, so nothing can be sent.";

str LocalText(const char* key, const char* fallback)
{
    const str text = GlocalisedString(key);
    return IsMissingString(text) ? str(fallback) : text;
}

void SetGlobalString(lua_State* L, const char* name, const str& value)
{
    lua_pushlstring(L, value.c_str(), value.length());
    lua_setglobal(L, name);
}

// A single-quoted Lua literal of `value`: quotes, backslashes and control bytes are escaped, so
// no name or password can end the string or the chunk.
str LuaQuoted(const str& value)
{
    std::string quoted = "'";
    for (const char c : TextView(value)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\'' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 32 || byte == 127) {
            quoted += str::getFormatted("\\%03u", unsigned(byte)).c_str();
        } else {
            quoted += c;
        }
    }
    return ToStr(quoted + "'");
}

int lf_GetLuaServerSubmitSetupVars(lua_State* L)
{
    const str chunk = ServerSubmitSetupVars(lua_toboolean(L, 1) != 0);
    lua_pushlstring(L, chunk.c_str(), chunk.length());
    return 1;
}

int lf_SubmitToServer(lua_State* L)
{
    if (!lua_isstring(L, 1) || !lua_isstring(L, 2) || !lua_isstring(L, 3)) {
        LOGIT("SubmitToServer: expected name, account and password texts\n");
        return 0;
    }
    auto* window = static_cast<TServerSubmit*>(tWindowGlobals::Owner(L));
    window->SubmitToServer(lua_tostring(L, 1), lua_tostring(L, 2), lua_tostring(L, 3), lua_toboolean(L, 4) != 0,
                           lua_toboolean(L, 5) != 0);
    return 0;
}

str TextOf(TWindow* self, const char* name)
{
    TText* text = GetCast<TText>(self->GetChildWindow(name, unsigned(-1)));
    return text ? text->GetText() : str();
}

}  // namespace

str ServerSubmitSetupVars(bool medals)
{
    TSettings* settings = TSettings::GetInstance();
    TZvHiscores* scores = GetHiscores();
    if (!settings)
        LOGIT("GetLuaServerSubmitSetupVars: no settings; the fields start empty\n");
    const str anonName =
        settings ? settings->GetPrefs()->GetStr(TServerSubmit::kAnonNameKey, str(), settings->GetCurrentUser()) : str();
    str chunk = str("gNameEdit=") + LuaQuoted(anonName) + "; ";

    str account, password;
    if (scores && scores->GetRememberedUserInfo(&account, &password))
        chunk +=
            str("gAccountEdit=") + LuaQuoted(account) + "; gPassEdit=" + LuaQuoted(password) + "; gRemember=true; ";
    else
        chunk += "gAccountEdit=''; gPassEdit=''; gRemember=false; ";

    if (medals)
        return chunk + "gMedalsMode=true;";
    int score = 0;
    if (!scores || !scores->GetUserBestScore(TZvHiscores::kUserScoreLocal, &score, nullptr, nullptr, 0))
        score = 0;
    return chunk + str::getFormatted("gMedalsMode=false;gEligibleScore=%d", score);
}

TServerSubmit::TServerSubmit() : mScores(GetHiscores())
{
    if (!mScores)
        LOGIT("TServerSubmit: no score tables; nothing can be sent\n");
    mGlobals.Bind("SubmitToServer", &lf_SubmitToServer);
}

TServerSubmit::~TServerSubmit() = default;

TWindow* TServerSubmit::DynamicCreate()
{
    return new TServerSubmit;
}

void TServerSubmit::Register()
{
    RegisterGameWindowType(TWindowManager::GetInstance(), "SubmitWindow", ClassId(), &DynamicCreate);
    lua_State* L = LayoutScriptState();
    if (!L) {
        LOGIT("TServerSubmit::Register: no window script for GetLuaServerSubmitSetupVars\n");
        return;
    }
    lua_pushcfunction(L, &lf_GetLuaServerSubmitSetupVars);
    lua_setglobal(L, "GetLuaServerSubmitSetupVars");
}

void TServerSubmit::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    for (const char* required : {"nameedit", "accountedit", "submittoserver"})
        if (!GetChildWindow(required, unsigned(-1)))
            LOGIT("TServerSubmit: the layout has no window '%s'\n", required);
    // Say so before the player types a name and a password for nothing.
    if (!mScores || !mScores->HasServer()) {
        LOGIT("TServerSubmit: no score server is set up\n");
        RunLayoutText("SwitchModes", "SwitchModes(true)");
        ShowError(LocalText(kNoServerKey, kNoServerText), false);
    }
}

bool TServerSubmit::OnMessage(TMessage* message)
{
    if (!message || message->GetType() != kTextEditChanged)
        return false;
    const bool typed = !TextOf(this, "nameedit").empty() || !TextOf(this, "accountedit").empty();
    TWindow* button = GetChildWindow("submittoserver", unsigned(-1));
    SetWindowEnable(button, typed);
    if (!typed)
        if (TButton* pressable = GetCast<TButton>(button))
            pressable->OnMouseLeave();  // a hidden button must not stay lit
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    return true;
}

void TServerSubmit::SubmitToServer(const str& name, const str& account, const str& password, bool remember, bool medals)
{
    const auto mode = medals ? TZvHiscores::kSubmitMedals : TZvHiscores::kSubmitAll;
    bool sent = false;
    if (!account.empty()) {
        sent = mScores && mScores->SubmitData(account, password, remember, mode);
    } else {
        if (TSettings* settings = TSettings::GetInstance())
            settings->GetPrefs()->SetStr(kAnonNameKey, name, settings->GetCurrentUser(), true);
        sent = mScores && mScores->SubmitData(name, str(), false, mode);
    }
    RunLayoutText("SwitchModes", "SwitchModes(true)");
    if (!sent) {
        // No request went out: polling would read the previous one's outcome.
        LOGIT("TServerSubmit: nothing was sent\n");
        ShowError(LocalText(kNotSentKey, kNotSentText), true);
        return;
    }
    mPolling = true;
    StartWindowAnimation(20, true, true, false);
}

bool TServerSubmit::OnTaskAnimate()
{
    if (!mPolling)
        return false;
    char message[512] = {};
    bool listed = false;
    const int status = mScores->GetServerRequestStatus(message, sizeof message, &listed);
    if (status == TZvHiscores::kRequestRunning)
        return true;
    mPolling = false;
    if (status == TZvHiscores::kRequestFailed)
        ShowError(message, true);
    else
        Finish(listed);
    return false;
}

void TServerSubmit::Finish(bool listed)
{
    if (lua_State* L = LayoutScriptState())
        SetGlobalString(L, "gReturnValue", listed ? "qualified" : "success");
    TModalWindow* modal = FindParentModal();
    TWindowManager* wm = TWindowManager::GetInstance();
    if (modal && wm)
        wm->PopModal(WindowIdText(modal->GetId()));
    else
        LOGIT("TServerSubmit: no dialog to close\n");
}

void TServerSubmit::ShowError(const str& message, bool canRetry)
{
    if (TText* error = GetCast<TText>(GetChildWindow("submiterror", unsigned(-1)))) {
        error->SetText(EscapeMarkup(message));  // the server's words are text, never markup
        SetWindowEnable(error, true);
    }
    SetWindowEnable(GetChildWindow("submitconnect", unsigned(-1)), false);
    SetWindowEnable(GetChildWindow("submiterrorok", unsigned(-1)), canRetry);
}
