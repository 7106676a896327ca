// What the high-score screen shows for its state: panels, the table's rows, the category, the
// player's rank and the server's progress or error.

#include <cstdio>

#include "core/strings/string_table.h"
#include "game/interface/windows/window_helpers.h"
#include "game/screens/hiscore/hiscore.h"
#include "game/screens/settings/settings.h"
#include "game/world/strings/localised_strings.h"
#include "online/scores/zv_hiscores.h"
#include "render/text/text_escape.h"
#include "render/text/text_graphic.h"
#include "ui/screen/image.h"
#include "ui/widgets/text.h"

namespace {

// Every optional window UpdateText hides before showing what the state needs.
const char* const kStateWindows[] = {
    "eligible", "eligibleasterisk", "server",          "error", "info",     "category",           "local",
    "global",   "topplayers",       "congratulations", "dnq",   "yourrank", "yourrankglobalinfo", "rankvalue",
    "scrollup", "scrolldown",
};

bool LocalOnly()
{
    return TPlatform::IsEnabled(TPlatform::kHiscoreLocalOnly);
}

str Number(const char* format, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool Fits(const TText& text)
{
    TRect bounds;
    text.GetTextBounds(&bounds);
    return bounds.right < text.GetWindowWidth() && bounds.top >= 0 && bounds.bottom <= text.GetWindowHeight();
}

// Shrinks the line height from 19 down until the name fits; 1 is the last resort.
void FitName(TText& text, unsigned layoutLineHeight)
{
    TTextGraphic* graphic = text.GetGraphic();
    if (!graphic)
        return;
    if (layoutLineHeight > 0)
        graphic->SetLineHeight(layoutLineHeight);
    for (unsigned height = 19; height >= 1 && !Fits(text); --height)
        graphic->SetLineHeight(height);
}

}  // namespace

void THiscore::ShowChild(const char* name, bool on)
{
    SetWindowEnable(GetChildWindow(name, unsigned(-1)), on);
}

void THiscore::UpdateText()
{
    for (int i = 0; i < kRows; ++i) {
        SetWindowEnable(mNames[i], false);
        SetWindowEnable(mScoreTexts[i], false);
        SetWindowEnable(mRanks[i], false);
        SetWindowEnable(mIcons[i], false);
    }
    for (const char* name : kStateWindows)
        ShowChild(name, false);

    TSettings* settings = TSettings::GetInstance();
    if (mGameMode)
        mGameMode->SetText(settings && settings->GetGameMode() == 0 ? GlocalisedString("gamemode1") : str());

    const bool localOnly = LocalOnly();
    ShowChild("rightpanel", !localOnly && mState == kLocal);
    ShowChild("rightpanelsmall", !localOnly && mState != kLocal);

    if (mState == kLocal || mState == kOnline)
        FillTable();
    if (mState == kLocal) {
        if (ScoreAvailable()) {
            ShowChild("eligible", true);
            ShowChild("eligibleasterisk", true);
        }
        ShowChild("info", true);
    } else if (mState == kOnline) {
        ShowRankAndCategory();
    }
    if (mState == kFetchingCategories || mState == kFetchingScores)
        ShowChild("server", true);
    if (mState == kError) {
        ShowChild("error", true);
        // The server's words are text, never markup.
        if (TText* error = GetCast<TText>(GetChildWindow("error", unsigned(-1))))
            error->SetText(EscapeMarkup(mErrorText));
    }
    if (localOnly) {
        ShowChild("info", false);
        ShowChild("eligible", false);
        ShowChild("eligibleasterisk", false);
    }
}

void THiscore::ShowRankAndCategory()
{
    TText* category = GetCast<TText>(GetChildWindow("category", unsigned(-1)));
    char name[64] = {};
    if (category && mScores && mScores->GetCategoryName(mCategory, name, sizeof name))
        category->SetText(EscapeMarkup(name));
    ShowChild("category", true);
    ShowChild("yourrankglobalinfo", true);
    if (mSubmission == kListed) {
        ShowChild("congratulations", true);
        ShowChild("yourrankglobalinfo", false);
    } else if (mSubmission == kNotListed) {
        ShowChild("dnq", true);
        ShowChild("yourrankglobalinfo", false);
    }
    int rank = 0;
    if (mScores && mScores->GetUserBestScore(TZvHiscores::kUserScoreGlobal, nullptr, &rank, nullptr, 0)) {
        if (TText* yourRank = GetCast<TText>(GetChildWindow("yourrank", unsigned(-1)))) {
            TStringTable* strings = GetGlobalStringTable();
            const str rankText = Number("%d", rank);
            yourRank->SetText(strings ? fix_crs(strings->GetString("yourrank", rankText)) : rankText);
            SetWindowEnable(yourRank, true);
        }
        ShowChild("yourrankglobalinfo", false);
    }
}

void THiscore::FillTable()
{
    const bool local = mState == kLocal;
    const bool localOnly = LocalOnly();
    const int count = mScores ? mScores->GetScoreCount(local) : 0;
    if (local) {
        ShowChild("local", !localOnly);
        ShowChild("topplayers", localOnly);
        ShowChild("scrollup", false);
        ShowChild("scrolldown", false);
        mFirstRow = 0;
    } else {
        ShowChild("global", !localOnly);
        // The last page may show as few as five rows.
        if (mFirstRow > count - 5)
            mFirstRow = count - 5;
        if (mFirstRow < 0)
            mFirstRow = 0;
        ShowChild("scrollup", mFirstRow >= 1);
        ShowChild("scrolldown", count > mFirstRow + kRows);
    }
    for (int i = 0; i < kRows && mFirstRow + i < count; ++i)
        FillRow(i, mFirstRow + i, local);
}

void THiscore::FillRow(int row, int index, bool local)
{
    int rank = 0, score = 0;
    bool anonymous = true;
    char name[64] = {};
    char gameData[64] = {};
    if (!mScores->GetScore(local, index, &rank, name, sizeof name, &anonymous, &score, gameData, sizeof gameData))
        return;
    if (TText* text = mNames[row]) {
        SetWindowEnable(text, true);
        text->SetText(EscapeMarkup(name));
        FitName(*text, mNameLineHeights[row]);
    }
    if (mScoreTexts[row]) {
        SetWindowEnable(mScoreTexts[row], true);
        mScoreTexts[row]->SetText(Number("%d", score));
    }
    if (mRanks[row]) {
        SetWindowEnable(mRanks[row], true);
        mRanks[row]->SetText(Number("%d.", rank));
    }
    const bool marked = !anonymous && !LocalOnly() && !TPlatform::IsEnabled(TPlatform::kHiscoreAnonymous);
    SetWindowEnable(mIcons[row], marked);
}
