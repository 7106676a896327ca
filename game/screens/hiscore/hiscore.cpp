#include "game/screens/hiscore/hiscore.h"

#include <lauxlib.h>
#include <lua.h>

#include <algorithm>
#include <cstdio>

#include "core/script/message.h"
#include "game/interface/windows/layout_script.h"
#include "game/screens/settings/settings.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "online/scores/zv_hiscores.h"
#include "render/text/text_graphic.h"
#include "ui/screen/image.h"
#include "ui/widgets/text.h"
#include "ui/window/message_types.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

THiscore* Self(lua_State* L)
{
    return static_cast<THiscore*>(tWindowGlobals::Owner(L));
}

int lf_GetState(lua_State* L)
{
    lua_pushnumber(L, Self(L)->GetState());
    return 1;
}

int lf_ScoreAvailable(lua_State* L)
{
    lua_pushboolean(L, Self(L)->ScoreAvailable());
    return 1;
}

int lf_HasScoreServer(lua_State* L)
{
    lua_pushboolean(L, Self(L)->HasScoreServer());
    return 1;
}

int lf_UpdateText(lua_State* L)
{
    Self(L)->UpdateText();
    return 0;
}

int lf_SubmissionDone(lua_State* L)
{
    Self(L)->SubmissionDone(lua_toboolean(L, 1) != 0);
    return 0;
}

lua_State* ScriptState()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    return script ? script->GetState() : nullptr;
}

template <class T>
T* Child(TWindow* self, const str& name, const char* kind)
{
    T* window = GetCast<T>(self->GetChildWindow(name, unsigned(-1)));
    if (!window)
        LOGIT("THiscore: the layout has no %s '%s'\n", kind, name.c_str());
    return window;
}

}  // namespace

TZvHiscores* GetHiscores()
{
    TSettings* settings = TSettings::GetInstance();
    return settings ? settings->GetHiscores() : nullptr;
}

THiscore::THiscore() : mScores(GetHiscores())
{
    if (!mScores)
        LOGIT("THiscore: no score tables; the screen stays empty\n");
    // The screen's "GetState" stands in for the game-state table's while it is up.
    if (lua_State* L = ScriptState()) {
        lua_getglobal(L, "GetState");
        mShadowedGetState = luaL_ref(L, LUA_REGISTRYINDEX);
    }
    mGlobals.Bind("GetState", &lf_GetState);
    mGlobals.Bind("ScoreAvailable", &lf_ScoreAvailable);
    mGlobals.Bind("UpdateText", &lf_UpdateText);
    mGlobals.Bind("SubmissionDone", &lf_SubmissionDone);
    mGlobals.Bind("HasScoreServer", &lf_HasScoreServer);
}

THiscore::~THiscore()
{
    mGlobals.Clear();
    lua_State* L = ScriptState();
    if (!L || mShadowedGetState == LUA_NOREF)
        return;
    // Put back only where the screen's own went; a script's later choice stays.
    lua_getglobal(L, "GetState");
    const bool cleared = lua_isnil(L, -1);
    lua_pop(L, 1);
    if (cleared) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, mShadowedGetState);
        lua_setglobal(L, "GetState");
    }
    luaL_unref(L, LUA_REGISTRYINDEX, mShadowedGetState);
}

TWindow* THiscore::DynamicCreate()
{
    return new THiscore;
}

void THiscore::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    StartWindowAnimation(20, true, true, false);
    char name[16];
    for (int i = 0; i < kRows; ++i) {
        std::snprintf(name, sizeof name, "name%d", i + 1);
        mNames[i] = Child<TText>(this, name, "text");
        std::snprintf(name, sizeof name, "score%d", i + 1);
        mScoreTexts[i] = Child<TText>(this, name, "text");
        std::snprintf(name, sizeof name, "%d", i + 1);
        mRanks[i] = Child<TText>(this, name, "text");
        std::snprintf(name, sizeof name, "p1_%d", i + 1);
        mIcons[i] = Child<TImage>(this, name, "picture");
        mNameLineHeights[i] = mNames[i] && mNames[i]->GetGraphic() ? mNames[i]->GetGraphic()->GetLineHeight() : 0;
    }
    for (const char* required : {"rightpanel", "rightpanelsmall", "scrollup", "scrolldown"})
        if (!GetChildWindow(required, unsigned(-1)))
            LOGIT("THiscore: the layout has no window '%s'\n", required);
    if (TPlatform::IsEnabled(TPlatform::kHiscoreLocalOnly))
        if (TWindow* left = GetChildWindow("leftpanel", unsigned(-1)))
            left->SetWindowPos(left->GetRect().left + kLocalOnlyShift, left->GetRect().top);
    mGameMode = Child<TText>(this, "gamemode", "text");
    UpdateText();
    UpdateButtons();
}

bool THiscore::ScoreAvailable() const
{
    return mScores && mScores->GetUserBestScore(TZvHiscores::kUserScoreLocal, nullptr, nullptr, nullptr, 0);
}

bool THiscore::HasScoreServer() const
{
    return mScores && mScores->HasServer();
}

void THiscore::UpdateButtons()
{
    RunLayoutText("UpdateButtons", "UpdateButtons();");
}

void THiscore::SubmissionDone(bool listed)
{
    mState = kFetchingCategories;
    if (mScores)
        mScores->RequestCategoryInformation();
    mSubmission = listed ? kListed : kNotListed;
    UpdateText();
    UpdateButtons();
}

void THiscore::RequestScores()
{
    if (mScores)
        mScores->RequestScores(mCategory);
}

bool THiscore::OnTaskAnimate()
{
    if (mState != kFetchingCategories && mState != kFetchingScores)
        return true;
    char message[512] = {};
    bool listed = false;
    const int status =
        mScores ? mScores->GetServerRequestStatus(message, sizeof message, &listed) : TZvHiscores::kRequestFailed;
    if (status == TZvHiscores::kRequestRunning)
        return true;
    if (status == TZvHiscores::kRequestFailed) {
        mErrorText = message;
        mState = kError;
    } else if (mState == kFetchingCategories) {
        mState = kFetchingScores;
        RequestScores();
        return true;
    } else {
        mState = kOnline;
    }
    UpdateText();
    UpdateButtons();
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    return true;
}

bool THiscore::OnMessage(TMessage* message)
{
    if (!message || message->GetType() != kButtonPress)
        return false;
    return OnButton(message->GetName());
}

void THiscore::ChangeGameMode(int step)
{
    if (TSettings* settings = TSettings::GetInstance()) {
        // The game has the one game mode 0.
        const int mode = std::clamp(settings->GetGameMode() + step, 0, 0);
        settings->SetCurrentGameMode(mode);
    }
    if (mState == kOnline) {
        mState = kFetchingScores;
        RequestScores();
    }
    mSubmission = kNoSubmission;
    UpdateText();
    UpdateButtons();
}

void THiscore::ChangeCategory(int step)
{
    const int count = mScores ? mScores->GetCategoryCount() : 0;
    mCategory += step;
    if (count <= 0)
        mCategory = 0;
    else if (mCategory < 0)
        mCategory = count - 1;
    else if (mCategory >= count)
        mCategory = 0;
    mState = kFetchingScores;
    RequestScores();
    UpdateText();
    UpdateButtons();
}

bool THiscore::OnButton(const str& name)
{
    if (name == "gamemodeleft" || name == "gamemoderight") {
        if (mState != kLocal && mState != kOnline)
            return false;
        ChangeGameMode(name == "gamemodeleft" ? -1 : 1);
        return true;
    }
    if (name == "categoryleft" || name == "categoryright") {
        ChangeCategory(name == "categoryleft" ? -1 : 1);
        return true;
    }
    if (name == "view") {
        mSubmission = kNoSubmission;
        mState = kFetchingCategories;
        if (mScores)
            mScores->RequestCategoryInformation();
        UpdateText();
        UpdateButtons();
    } else if (name == "viewlocal") {
        mState = kLocal;
        UpdateText();
        UpdateButtons();
    } else if (name == "scrollup" || name == "scrolldown") {
        mFirstRow += name == "scrollup" ? -kRows : kRows;
        UpdateText();
    }
    return false;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"THiscore", THiscore::ClassId(), &THiscore::DynamicCreate},
};
