#pragma once
// The high-score screen: the local table of the current game mode, or one category of the
// online table fetched from the score server, ten rows at a time, with the player's rank, the
// outcome of a submission just made and the server's progress or error. Fetching runs as a
// small state machine polled every 20 ms; the layout's "UpdateButtons" shows the buttons that
// fit the state, asking "GetState", "ScoreAvailable" and "HasScoreServer" (whether the game
// names a score server to send to and fetch from). The screen's "GetState" hides the
// game-state table's while it is up and hands the name back when it closes.
//   THiscore{ name = "hiscore", w = 800, h = 600, Text{ name = "name1" }, ..., Button{ name = "view" } }
//
// Children: rows 1-10 "name%d", "score%d", "%d" (rank) and "p1_%d" (account mark); "gamemode",
// "rightpanel", "rightpanelsmall", "scrollup", "scrolldown" (all required); "leftpanel",
// "eligible", "eligibleasterisk", "server", "error", "info", "category", "local", "global",
// "topplayers", "congratulations", "dnq", "yourrank", "yourrankglobalinfo", "rankvalue".

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

class TImage;
class TText;
class TZvHiscores;

class THiscore : public TWindow
{
    TV_CLASS(THiscore, TWindow)

public:
    enum EState
    {
        kLocal = 0,
        kFetchingCategories = 1,
        kFetchingScores = 2,
        kOnline = 4,
        kError = 5,
    };
    enum ESubmission
    {
        kNoSubmission = 0,
        kListed = 1,
        kNotListed = 2,
    };
    static constexpr int kRows = 10;
    // Pixels the left panel moves right when the game keeps local scores only.
    static constexpr int kLocalOnlyShift = 130;

    THiscore();
    ~THiscore() override;
    static TWindow* DynamicCreate();
    void PostChildrenInit(TWindowStyle& style) override;
    bool OnTaskAnimate() override;
    bool OnMessage(TMessage* message) override;

    void UpdateText();
    // Runs the layout's "UpdateButtons".
    void UpdateButtons();
    // A submission ended; the online table is fetched again to show where it landed.
    void SubmissionDone(bool listed);
    bool ScoreAvailable() const;
    bool HasScoreServer() const;

    int GetState() const { return mState; }
    int GetSubmission() const { return mSubmission; }
    int GetCategory() const { return mCategory; }
    int GetFirstRow() const { return mFirstRow; }
    const str& GetErrorText() const { return mErrorText; }

private:
    // Shows or hides the named descendant, when there is one.
    void ShowChild(const char* name, bool on);
    void FillTable();
    void FillRow(int row, int index, bool local);
    void ShowRankAndCategory();
    void RequestScores();
    bool OnButton(const str& name);
    void ChangeGameMode(int step);
    void ChangeCategory(int step);

    int mState = kLocal;
    int mSubmission = kNoSubmission;
    TZvHiscores* mScores = nullptr;
    str mErrorText;
    int mCategory = 0;
    int mFirstRow = 0;
    TText* mNames[kRows] = {};
    TText* mScoreTexts[kRows] = {};
    TText* mRanks[kRows] = {};
    TImage* mIcons[kRows] = {};
    // Each name's line height as the layout gave it; a long name shrinks from there.
    unsigned mNameLineHeights[kRows] = {};
    TText* mGameMode = nullptr;
    // Registry reference to what "GetState" held before the screen bound its own (LUA_NOREF
    // without a script).
    int mShadowedGetState = -2;
    tWindowGlobals mGlobals{this};
};

// The settings' score tables; null before the settings exist.
TZvHiscores* GetHiscores();
