// The whole story, played as a player plays it from a fresh user folder: a new profile, the
// cottage with a pause (the program quit in the middle of it and started again, the saved game
// continued with all that was gained in it), the garden, the conversation with a choice
// scrolled into view and left by its farewell, both bags, the night forest with the diary opened and
// paged, the lantern sketched and its puzzle (the program quit inside it, the forest continued,
// the lantern seen burning, then on the stump lighting the forest), the clearing and the story's
// last picture with the score, the score sent to a score server on 127.0.0.1, the credits, a
// menu that offers no Continue for the finished game and nothing saved after its end, and the
// menu's Quit. At every scene change the saved game is read back with
// the dump tool; each scene's picture is compared with a stored one (the pictures taken stay
// in the build tree's test artifacts). Then Ann plays again, with her awards won: what she
// takes in the cottage is kept with no award to keep it, the close box in the middle holds the
// game while it asks, Continue finds her where she stood, Play asks before it throws the saved
// game away, and Escape on the menu asks to quit.

#include "game/demo/demo_steps.h"

#include "core/crypto/encrypt.h"
#include "game/startup/gantrimole_init.h"
#include "test_score_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace {

// The cottage.
constexpr int kDrawerX = 415, kDrawerY = 335;
constexpr int kNoteX = 423, kNoteY = 292;
constexpr int kCottageDoorX = 635, kCottageDoorY = 300;
// The note on the table, and below the drawer where Mira's legs are when she stands in front of
// the table (not inside it).
constexpr TBox kNoteOnTable{400, 288, 446, 302};
constexpr TBox kBelowTheDrawer{400, 412, 446, 466};
// The bar: the diary button, the paw print, the first icon of each bag.
constexpr int kDiaryButtonX = 400, kDiaryButtonY = 546;
constexpr int kPawX = 320, kPawY = 562;
constexpr int kInvIconX = 75, kMagicIconX = 652, kIconY = 565;
// The diary book (both pages) and its buttons.
constexpr TBox kBook{36, 46, 764, 554};
constexpr int kQuestsX = 106, kCloseX = 694, kBookButtonY = 535;
// The choices: rows 36 pixels apart, four in view, and the box's slider. A talk's farewell is
// its first row, the questions not asked yet follow.
constexpr int kChoiceX = 300;
constexpr int ChoiceY(int row)
{
    return 30 + 36 * row;
}
constexpr TBox kChoiceBox{150, 0, 650, 170};
constexpr int kChoiceSliderX = 622, kChoiceSliderTop = 24, kChoiceSliderBottom = 160;
// The garden: the gardener potters along this line; the gate once the camera has reached it.
constexpr int kGardenerY = 370, kGardenerFromX = 380, kGardenerToX = 640;
constexpr TBox kGardenerWalk{370, 270, 660, 450};
constexpr int kEastX = 790, kEastY = 420;
constexpr TBox kAboveTheBar{0, 0, 800, 460};
constexpr int kGateX = 760, kGateY = 400;
// The forest: the fireflies, the stump, the popup's OK, the shutters, the way on.
constexpr TBox kFireflies{520, 220, 760, 440};
// The screen's west edge, as high as speech over Mira's head reaches there.
constexpr TBox kSpeechBand{0, 250, 12, 470};
constexpr int kFirefliesX = 640, kFirefliesY = 330;
constexpr int kStumpX = 400, kStumpY = 455;
constexpr TBox kPuzzle{200, 120, 600, 440};
constexpr int kShutterY = 290;
constexpr int ShutterX(int i)
{
    return 290 + 72 * (i - 1);
}
constexpr int kClearingPathX = 750, kClearingPathY = 440;
// The puzzle's four shutters; the lantern on the stump once it burns; trees its light reaches.
constexpr TBox kShutters{250, 230, 550, 350};
constexpr TBox kLanternOnStump{378, 384, 422, 444};
constexpr TBox kTreesNearTheStump{130, 150, 290, 300};
// The clearing.
constexpr int kPipX = 575, kPipY = 385;
// Where Mira stands once she has walked into the garden and into the clearing.
constexpr TBox kMiraInGarden{40, 320, 270, 528};
constexpr TBox kMiraInClearing{0, 340, 250, 528};
// The options' walking and talking sliders (thumbs at 0) and the score screens' buttons.
constexpr int kSliderThumbX = kPageX + 312, kWalkSliderY = kPageY + 269, kTalkSliderY = kPageY + 324;
constexpr int kSendScoreX = 640, kSendScoreY = 365;
constexpr int kSubmitSendX = 400, kSubmitSendY = 410;
constexpr TBox kCreditsRoll{0, 40, 800, 540};
// The main menu's Continue.
constexpr TBox kContinue{kContinueX - 90, kContinueY - 18, kContinueX + 90, kContinueY + 18};
// The score entry's table: its rows, 30 pixels apart.
constexpr TBox kScoreRows{52, 194, 464, 494};
constexpr int kScoreRowHeight = 30;

// Pixels of the box in a burning lantern's colours: bright red and green, much less blue.
size_t WarmPixels(const TPicture& picture, const TBox& box)
{
    size_t count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const uint8_t* p = &picture.rgba[(size_t(y) * size_t(picture.width) + size_t(x)) * 4];
            count += p[0] > 220 && p[1] > 170 && p[2] + 50 < p[1];
        }
    return count;
}

// A folder for both runs of the program: its user folder and the score server's address.
class THome
{
public:
    THome()
    {
        char pattern[] = "/tmp/tv_story_XXXXXX";
        if (mkdtemp(pattern))
            mPath = pattern;
    }
    ~THome()
    {
        std::error_code ec;
        fs::remove_all(mPath, ec);
    }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

class DemoStory : public testing::Test
{
protected:
    void Send(const std::string& record) { mRun->Send(record); }
    // A click at x, y; the pointer gets there `waitMs` after what came before.
    void Click(int x, int y, int waitMs = 0)
    {
        if (waitMs > 0)
            Send(std::to_string(waitMs) + " move " + std::to_string(x) + " " + std::to_string(y));
        Send(::Click(x, y));
    }
    size_t Mark() const { return mRun->Log().size(); }
    // The program started on the shared folder (again), up to its menu.
    void StartTheProgram()
    {
        mRun = std::make_unique<TDemoRun>(BuildRoot(), mHome.Path());
        ASSERT_TRUE(mRun->Started());
        ASSERT_NO_FATAL_FAILURE(Expect("Menu shown: layouts/mainmenu.lua", 0));
    }
    // The run so far kept, the program started again and its saved game continued in `scene`.
    void ContinueAfterRestart(const std::string& scene)
    {
        KeepLog();
        ASSERT_NO_FATAL_FAILURE(StartTheProgram());
        ASSERT_TRUE(ClickUntil(*mRun, kContinueX, kContinueY, "Continuing the saved game", 0)) << mRun->Log();
        ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(" + scene + ")", 0));
    }
    // The program's log of each run stays with the pictures.
    void TearDown() override { KeepLog(); }
    void KeepLog()
    {
        if (mRun)
            std::ofstream(ArtifactDir() + "/story_run" + std::to_string(++mRuns) + ".log") << mRun->Log();
    }
    // Waits for `text` after `from`; a failure stops the test.
    void Expect(const std::string& text, size_t from, int ms = 30000)
    {
        from = std::min(from, mRun->Log().size());
        ASSERT_TRUE(mRun->WaitFor(text, ms, from)) << "no \"" << text << "\" in the end of the log\n"
                                                   << mRun->Log().substr(from);
    }
    // Waits until the line `key` has been spoken to its end.
    void HeardLine(const std::string& key, size_t from)
    {
        ASSERT_NO_FATAL_FAILURE(Expect("PlayVox(audio/vox/" + key, from));
        ASSERT_NO_FATAL_FAILURE(Expect("IsMostlyComplete(DONE)", mRun->Log().find("PlayVox(audio/vox/" + key, from)));
    }
    std::string Artifact(const std::string& name) const { return ArtifactDir() + "/story_" + name + ".png"; }
    // The saved game as the dump tool shows it; each of `lines` is in it.
    void SavedGameHas(const std::vector<std::string>& lines)
    {
        const std::string dump = DumpPrefs(*mRun);
        for (const std::string& line : lines)
            EXPECT_NE(dump.find(line + "\n"), std::string::npos) << line << " in\n" << dump;
    }
    // The game-state variable `name` is in the saved game with `value`.
    void SavedVariable(const std::string& name, int value)
    {
        const std::string dump = DumpPrefs(*mRun);
        const size_t key = dump.find(":key = " + name + "\n");
        ASSERT_NE(key, std::string::npos) << name << " in\n" << dump;
        const size_t line = dump.find(":value = ", key);
        ASSERT_NE(line, std::string::npos) << dump;
        EXPECT_EQ(std::atoi(dump.c_str() + line + 9), value) << name;
    }
    // The pointer sweeps along a line until the name of what it is over floats up; where.
    int HoverUntilNamed(const std::string& name, int fromX, int toX, int y, int step)
    {
        for (int x = fromX; x <= toX; x += step) {
            const size_t mark = Mark();
            Send("30 move " + std::to_string(x) + " " + std::to_string(y));
            if (mRun->WaitFor(">" + name + "]", 250, mark))
                return x;
        }
        return -1;
    }
    // The award is earned and its notice pops up over the game, naming it, with the fanfare
    // first; OK lets the game go on.
    void AwardNoticed(const std::string& award, size_t from)
    {
        ASSERT_NO_FATAL_FAILURE(Expect("EarnAward(" + award + ")", from));
        ASSERT_NO_FATAL_FAILURE(
            CloseAwardNotice(*mRun, mRun->Log().find("EarnAward(" + award + ")", from), Artifact("award")));
    }
    // Nothing the story reached was missing or failed, and every text it put on the screen
    // (speech, names under the pointer, popups, the bar's line, choices) was a text, never the
    // key of one, and no picture's name was looked up twice over.
    static void NoFaultsIn(const std::string& log, size_t leastTexts = 6)
    {
        for (const char* fault : {"Lua error", "Missing string", "No valid sound file", "Couldn't get", "ASSERT:",
                                  "has no place in the tree", "No Vox file", "Failed to find localized text",
                                  "anims/anims/", "hud/quest/hud/"})
            EXPECT_EQ(log.find(fault), std::string::npos) << fault << "\n" << log;
        const std::regex shown(R"((?:CREATE GIRL TEXT\[|DEFERRED POPUP \(|SetDefaultInventoryWindowText\(|SEEING CHOICE \w+\|)([^\]\)\n]*))");
        const std::regex key(R"(\s*[a-z]+(?:_[a-z0-9]+)+\s*)");
        size_t texts = 0;
        for (std::sregex_iterator m(log.begin(), log.end(), shown), end; m != end; ++m, ++texts) {
            std::string text = (*m)[1];
            for (size_t comma; (comma = text.find(", ")) != std::string::npos; text.erase(0, comma + 2))
                EXPECT_FALSE(std::regex_match(text.substr(0, comma), key)) << "a key on the screen: " << (*m)[0];
            EXPECT_FALSE(std::regex_match(text, key)) << "a key on the screen: " << (*m)[0];
        }
        EXPECT_GE(texts, leastTexts);
    }
    // A decrypted score submission: the XML the program sent.
    static std::string Payload(const RecordedRequest& request, const char* field)
    {
        for (const auto& [key, value] : ParseFormBody(request.body))
            if (key == field)
                return TEncrypt(str(ENCRYPTION_KEY)).DecryptStr(str(value.c_str())).c_str();
        return "";
    }

    THome mHome;
    TestScoreServer mServer;
    std::unique_ptr<TDemoRun> mRun;
    int mRuns = 0;
};

TEST_F(DemoStory, PlayedFromTheFirstMenuToTheCredits)
{
    ASSERT_FALSE(mHome.Path().empty());
    std::ofstream(mHome.Path() + "/hiscoreserver.txt") << mServer.Url() << "\n";
    mServer.QueueReply(TestReply::Xml("<hiscore><score/></hiscore>"));
    // (The engine's XML reader takes double-quoted attribute values only.)
    mServer.QueueReply(TestReply::Xml(R"(<hiscore><tables><table table="all" name="All time"/></tables></hiscore>)"));
    mServer.QueueReply(TestReply::Xml(R"(<hiscore><scores>)"
                                      R"(<score name="Zed" score="300" rank="1" anonymous="true" guid="g1"/>)"
                                      R"(<score name="Ann" score="155" rank="2" anonymous="true" guid="g2"/>)"
                                      R"(</scores></hiscore>)"));

    // --- A new player, and the cottage: the key, the note, a pause, the door. ---
    ASSERT_NO_FATAL_FAILURE(StartTheProgram());
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(*mRun, "Ann"));
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_woke_up", 0));
    SavedGameHas({"name = Ann", "S0:SCENE = cottage"});
    const TPicture cottage = Shot(*mRun, Artifact("cottage"));
    ExpectLikeReference(cottage, Artifact("cottage"), "cottage_reference.png", {kLivelyInterface});

    // The paw print on the bar pauses the game.
    size_t mark = Mark();
    Click(kPawX, kPawY);
    ASSERT_NO_FATAL_FAILURE(Expect("Pause screen shown", mark));
    Send("400 key escape");
    ASSERT_NO_FATAL_FAILURE(Expect("PAUSE:::::::::::::::::: EXITED", mark));

    mark = Mark();
    Click(kDrawerX, kDrawerY);
    // Her first walk: the bar's hint on walking has done its work.
    ASSERT_NO_FATAL_FAILURE(Expect("SetDefaultInventoryWindowText()\n", mark));
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_found_key", mark));
    ASSERT_NO_FATAL_FAILURE(HeardLine("mira_drawer", mark));
    // Earned with the key and kept with it, the award is told once the key has been named.
    const size_t named = mRun->Log().find("IsMostlyComplete(DONE)", mRun->Log().find("PlayVox(audio/vox/mira_drawer", mark));
    EXPECT_LT(mRun->Log().find("EarnAward(award_found_key)", mark), mRun->Log().find("PlayVox(audio/vox/mira_drawer", mark));
    EXPECT_LT(named, mRun->Log().find("DEFERRED POPUP (icons/award.png", mark)) << "the key is named before its award";
    const TPicture atDrawer = Shot(*mRun, mHome.Path() + "/at_drawer.png");
    EXPECT_GT(CountDifferingPixels(cottage, atDrawer, 8, kBelowTheDrawer.left, kBelowTheDrawer.top,
                                   kBelowTheDrawer.right, kBelowTheDrawer.bottom),
              300u)
        << "Mira stands in front of the table, her legs below the drawer";
    mark = Mark();
    Click(kNoteX, kNoteY, 300);
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_read_note", mark));
    ASSERT_NO_FATAL_FAILURE(HeardLine("cottage_note_think", mark));
    const TPicture noteTaken = Shot(*mRun, mHome.Path() + "/note_taken.png");
    EXPECT_GT(CountDifferingPixels(cottage, noteTaken, 8, kNoteOnTable.left, kNoteOnTable.top, kNoteOnTable.right,
                                   kNoteOnTable.bottom),
              300u)
        << "the note in the bag is no longer on the table";
    // The diary as it stands, and then the program quits in the middle of the scene: what was
    // gained in it is in the saved game already.
    mark = Mark();
    Click(kDiaryButtonX, kDiaryButtonY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("MET_RELAY(++DiaryAccesses)", mark));
    const TPicture notes = Shot(*mRun, mHome.Path() + "/notes.png");
    Click(kQuestsX, kBookButtonY);
    const TPicture quests = Shot(*mRun, mHome.Path() + "/quests.png");
    EXPECT_GT(CountDifferingPixels(notes, quests, 8, kBook.left, kBook.top, kBook.right, kBook.bottom), 2000u)
        << "the diary turned to its quests";
    Click(kCloseX, kBookButtonY);
    ASSERT_NO_FATAL_FAILURE(Expect("PAUSE:::::::::::::::::: EXITED", mark));
    SavedGameHas({"S0:SCENE = cottage", "I:S0:I0:B[BAG_INV]key = key", "I:S0:I1:B[BAG_INV]key = note",
                  "Q:S0:I0key = findpip", "D:S0:I0:B[BOOK_PRI]key = note",
                  "D:S0:I0:B[BOOK_PRI]title = diary_title_note"});
    SavedVariable("drawer_open", 1);
    QuitThroughTheDialog(*mRun);
    NoFaultsIn(mRun->Log());
    if (HasFatalFailure())
        return;
    KeepLog();

    // --- Started again: walking and talking made quick in the options, the game continued. ---
    ASSERT_NO_FATAL_FAILURE(StartTheProgram());
    Click(kOptionsX, kOptionsY);
    ASSERT_NO_FATAL_FAILURE(Expect("Opening layouts/options.lua", 0));
    for (int y : {kWalkSliderY, kTalkSliderY}) {
        const std::string from = std::to_string(kSliderThumbX) + " " + std::to_string(y);
        const std::string to = "720 " + std::to_string(y);
        Send("200 move " + from + "\n50 press " + from + "\n50 move 500 " + std::to_string(y) + "\n50 move " + to +
             "\n50 release " + to);
    }
    Click(kDoneX, kPageButtonY);
    ASSERT_NO_FATAL_FAILURE(Expect("Closed layouts/options.lua", 0));
    SavedGameHas({"walkspeed = 1000", "talkspeed = 1000"});
    const TPicture menuWithContinue = Shot(*mRun, mHome.Path() + "/menu_continue.png");
    mark = Mark();
    Click(kContinueX, kContinueY);
    ASSERT_NO_FATAL_FAILURE(Expect("Continuing the saved game", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(cottage)", mark));
    // The key and the note are in the bag, the note is off the table, the diary and its quests
    // are as they were, and the drawer is empty: nothing is given, nor earned, twice.
    const TPicture again = ArrivedShot(*mRun, mHome.Path() + "/again.png", kBelowTheDrawer);
    EXPECT_LE(CountDifferingPixels(noteTaken, again, 8, kNoteOnTable.left, kNoteOnTable.top, kNoteOnTable.right,
                                   kNoteOnTable.bottom),
              20u)
        << "the note stays in the bag";
    Click(kDiaryButtonX, kDiaryButtonY, 300);
    const TPicture notesAgain = Shot(*mRun, mHome.Path() + "/notes_again.png");
    EXPECT_EQ(CountDifferingPixels(notes, notesAgain, 2, kBook.left, kBook.top, kBook.right, kBook.bottom), 0u);
    Click(kQuestsX, kBookButtonY);
    const TPicture questsAgain = Shot(*mRun, mHome.Path() + "/quests_again.png");
    EXPECT_EQ(CountDifferingPixels(quests, questsAgain, 2, kBook.left, kBook.top, kBook.right, kBook.bottom), 0u);
    mark = Mark();
    Click(kCloseX, kBookButtonY);
    ASSERT_NO_FATAL_FAILURE(Expect("PAUSE:::::::::::::::::: EXITED", mark));
    mark = Mark();
    Click(kDrawerX, kDrawerY, 300);
    ASSERT_NO_FATAL_FAILURE(HeardLine("cottage_drawer_empty", mark));
    EXPECT_EQ(mRun->Log().find("EarnAward", mark), std::string::npos) << mRun->Log().substr(mark);

    mark = Mark();
    Click(kCottageDoorX, kCottageDoorY, 300);
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_left_home", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(garden)", mark));
    SavedGameHas({"S0:SCENE = garden", "S0:LASTSCENE = cottage", "I:S0:I0:B[BAG_INV]key = key",
                  "I:S0:I1:B[BAG_INV]key = note", "Q:S0:I0key = findpip", "D:S0:I0:B[BOOK_PRI]key = note"});
    const TPicture garden = ArrivedShot(*mRun, Artifact("garden"), kMiraInGarden);
    ExpectLikeReference(garden, Artifact("garden"), "garden_reference.png", {kLivelyInterface, kGardenerWalk});

    // --- The gardener: the roses (his Speex line), the lantern, the choices scrolled, goodbye. ---
    // He potters about: found by his name under the pointer, and clicked before he is gone.
    bool caught = false;
    for (int i = 0; i < 5 && !caught; ++i) {
        const int gardenerX = HoverUntilNamed("Gardener", kGardenerFromX, kGardenerToX, kGardenerY, 20);
        if (gardenerX < 0)
            continue;
        mark = Mark();
        Send(::Click(gardenerX, kGardenerY));
        caught = mRun->WaitFor("MET_Event(ClickedOnActor, GARDENER, )", 1000, mark);
    }
    ASSERT_TRUE(caught) << "the gardener was never clicked\n" << mRun->Log();
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_met_gardener", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("SEEING CHOICE garden_ask_bye", mark));
    mark = Mark();
    Click(kChoiceX, ChoiceY(2));
    ASSERT_NO_FATAL_FAILURE(Expect("MET_Event(ClickedChoice, garden_ask_roses, )", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("SEEING CHOICE garden_ask_bye", mark));
    const std::string roses = "tSFXManager::Play(audio/vox/gardener_roses.spx, 0, 1002)\n";
    const size_t played = mRun->Log().find(roses, mark);
    ASSERT_NE(played, std::string::npos) << mRun->Log().substr(mark);
    const size_t delay = mRun->Log().find("SetDelay(", played);
    ASSERT_NE(delay, std::string::npos);
    EXPECT_GT(std::atof(mRun->Log().c_str() + delay + 9), 1.5) << "the Speex line lasts as long as it speaks";
    mark = Mark();
    Click(kChoiceX, ChoiceY(3));
    ASSERT_NO_FATAL_FAILURE(Expect("MET_Event(ClickedChoice, garden_ask_lantern, )", mark));
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_got_lantern", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("SEEING CHOICE garden_ask_bye", mark));
    const TPicture unscrolled = Shot(*mRun, mHome.Path() + "/unscrolled.png");
    const std::string top = std::to_string(kChoiceSliderX) + " " + std::to_string(kChoiceSliderTop);
    const std::string bottom = std::to_string(kChoiceSliderX) + " " + std::to_string(kChoiceSliderBottom);
    Send("200 move " + top + "\n50 press " + top + "\n50 move " + std::to_string(kChoiceSliderX) + " 90\n50 move " +
         bottom + "\n50 release " + bottom);
    const TPicture scrolled = Shot(*mRun, Artifact("choices_scrolled"));
    EXPECT_GT(CountDifferingPixels(unscrolled, scrolled, 8, kChoiceBox.left, kChoiceBox.top, kChoiceBox.right,
                                   kChoiceBox.bottom),
              2000u)
        << "the choices scrolled";
    // The lantern asked again, scrolled into view at the bottom; the choices open at their top
    // again, with the farewell.
    mark = Mark();
    Click(kChoiceX, ChoiceY(3));
    ASSERT_NO_FATAL_FAILURE(Expect("MET_Event(ClickedChoice, garden_ask_lantern, )", mark));
    ASSERT_NO_FATAL_FAILURE(HeardLine("garden_lantern_again", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("SEEING CHOICE garden_ask_bye", mark));
    mark = Mark();
    Click(kChoiceX, ChoiceY(0), 300);
    ASSERT_NO_FATAL_FAILURE(Expect("MET_Event(ClickedChoice, garden_ask_bye, )", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("Off you go", mark));
    EXPECT_EQ(mRun->Log().find("Got bad choice", mark), std::string::npos) << mRun->Log().substr(mark);
    ASSERT_NO_FATAL_FAILURE(Expect("tGirl[GARDENER]::SayRaw([], 0)", mRun->Log().find("Off you go", mark)));

    // --- East past the pond to the gate; the key from the bag opens it. ---
    // A click at the screen's east edge, and another once she is there, bring the gate under
    // the pointer (locked, she says).
    bool atGate = false;
    int clicks = 0;
    while (clicks < 6 && !atGate) {
        mark = Mark();
        Click(kEastX, kEastY, 100);
        ++clicks;
        atGate = mRun->WaitFor("MET_Event(ClickedOnActor, GATE, )", 400, mark);
        if (!atGate)
            ArrivedShot(*mRun, mHome.Path() + "/east.png", kAboveTheBar);
    }
    ASSERT_TRUE(atGate) << "the gate never came into view\n" << mRun->Log();
    EXPECT_LE(clicks, 3) << "clicks to cross the garden to its gate";
    // She walks up to it, the camera with her as far as the garden goes.
    ArrivedShot(*mRun, mHome.Path() + "/at_gate.png", kAboveTheBar);
    mark = Mark();
    Click(kInvIconX, kIconY);
    ASSERT_NO_FATAL_FAILURE(Expect("tGamestate::UseInventory(BAG_INV, 0)", mark));
    Click(kGateX, kGateY);
    ASSERT_NO_FATAL_FAILURE(Expect("MET_Event(ClickedOnActor, GATE, key)", mark));
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_opened_gate", mark));
    ASSERT_NO_FATAL_FAILURE(HeardLine("garden_gate_opens", mark));
    mark = Mark();
    Click(kGateX, kGateY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(forest)", mark));
    SavedGameHas({"S0:SCENE = forest", "S0:LASTSCENE = garden", "I:S0:I0:B[BAG_INV]key = note",
                  "I:S0:I1:B[BAG_INV]key = ", "I:S0:I0:B[BAG_MAGIC]key = lantern", "Q:S0:I1key = lantern",
                  "D:S0:I1:B[BOOK_PRI]key = roses"});
    SavedVariable("gate_open", 1);
    SavedVariable("lantern_given", 1);

    // --- The night forest: the fireflies are written down among the clues. ---
    // Mira stands at the screen's west edge; what she says keeps clear of it.
    ASSERT_NO_FATAL_FAILURE(Expect("CREATE GIRL TEXT[<outline color=\"000000\" size=\"2\"\\>It is so dark", mark));
    const TPicture dark = Shot(*mRun, Artifact("forest_dark"));
    size_t atTheEdge = 0;
    for (int y = kSpeechBand.top; y < kSpeechBand.bottom; ++y)
        for (int x = kSpeechBand.left; x < kSpeechBand.right; ++x) {
            const uint8_t* p = &dark.rgba[(size_t(y) * size_t(dark.width) + size_t(x)) * 4];
            atTheEdge += p[0] > 200 && p[1] > 200 && p[2] > 200;
        }
    EXPECT_EQ(atTheEdge, 0u) << "speech at the screen's edge";
    ASSERT_NO_FATAL_FAILURE(HeardLine("mira_forest_dark", mark));
    const TPicture forest = Shot(*mRun, Artifact("forest"));
    ExpectLikeReference(forest, Artifact("forest"), "forest_reference.png", {kLivelyInterface, kFireflies});
    mark = Mark();
    Click(kFirefliesX, kFirefliesY);
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_fireflies", mark));
    ASSERT_NO_FATAL_FAILURE(HeardLine("forest_fireflies_look", mark));

    // --- The lantern from the magic bag on the stump: the popup, the sketch, the puzzle. ---
    mark = Mark();
    Click(kMagicIconX, kIconY);
    ASSERT_NO_FATAL_FAILURE(Expect("tGamestate::UseInventory(BAG_MAGIC, 0)", mark));
    Click(kStumpX, kStumpY);
    ASSERT_NO_FATAL_FAILURE(Expect("DEFERRED POPUP (quest/forest/lantern_popup.png, The lantern's shutters", mark));
    ArrivedShot(*mRun, Artifact("popup"), kPopup);
    Click(kPopupOkX, kPopupOkY, 100);
    ASSERT_NO_FATAL_FAILURE(Expect("PAUSE:::::::::::::::::: EXITED", mark));
    // Mira sketches the lantern before she tries it: the diary opens by itself on the sketch;
    // it turns to the quest page (nothing in it may be dropped: the log is searched for that at
    // the end). Closed, it gives way to the puzzle.
    const size_t explained = Mark();
    ASSERT_NO_FATAL_FAILURE(Expect("MET_RELAY(++DiaryAccesses)", explained));
    Send("400 move 600 300");
    const TPicture sketch = Shot(*mRun, Artifact("diary_sketch"));
    Click(kQuestsX, kBookButtonY, 400);
    Send("400 move 110 124");  // over the first quest
    const TPicture questPage = Shot(*mRun, Artifact("diary_quests"));
    // The book and its Close button stay where they were.
    EXPECT_EQ(CountDifferingPixels(sketch, questPage, 8, kBook.left - 16, kBook.top - 16, kBook.left, kBook.bottom), 0u);
    EXPECT_EQ(CountDifferingPixels(sketch, questPage, 8, kCloseX - 50, kBookButtonY - 16, kCloseX + 50,
                                   kBookButtonY + 16),
              0u);
    Click(kCloseX, kBookButtonY, 400);
    ASSERT_NO_FATAL_FAILURE(Expect("PAUSE:::::::::::::::::: EXITED", explained));
    ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(quest/forest/lantern.lua)", explained));
    const TPicture puzzle = ArrivedShot(*mRun, Artifact("lantern"), kPuzzle);
    ExpectLikeReference(puzzle, Artifact("lantern"), "lantern_reference.png", {kLivelyInterface, kFireflies});
    // The window closed in the puzzle: the forest, not the puzzle, is kept as the scene to
    // continue in, the lantern still in the bag.
    QuitThroughTheDialog(*mRun);
    SavedGameHas({"S0:SCENE = forest", "I:S0:I0:B[BAG_MAGIC]key = lantern", "D:S0:I0:B[BOOK_SEC]key = sketch"});
    NoFaultsIn(mRun->Log());
    if (HasFatalFailure())
        return;

    // --- Started again: Continue enters the forest; explained and sketched before, the
    // stump leads straight into the puzzle. ---
    ASSERT_NO_FATAL_FAILURE(ContinueAfterRestart("forest"));
    EXPECT_EQ(mRun->Log().find("MET_BeginScene(quest/forest/lantern.lua)"), std::string::npos) << mRun->Log();
    // She takes no item before the forest has faded in.
    bool inHand = false;
    for (int i = 0; i < 20 && !inHand; ++i) {
        mark = Mark();
        Click(kMagicIconX, kIconY, 300);
        ASSERT_NO_FATAL_FAILURE(Expect("tGamestate::UseInventory(BAG_MAGIC, 0)", mark));
        inHand = !mRun->WaitFor("Can't click inventory", 300, mark);
    }
    ASSERT_TRUE(inHand) << mRun->Log();
    Click(kStumpX, kStumpY);
    ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(quest/forest/lantern.lua)", mark));
    EXPECT_EQ(mRun->Log().find("DEFERRED POPUP", mark), std::string::npos) << mRun->Log().substr(mark);
    ArrivedShot(*mRun, mHome.Path() + "/lantern_again.png", kPuzzle);
    mark = Mark();
    // Stars 3, 1, 4, 2 from the left: opened from one star to four.
    for (int shutter : {2, 4, 1, 3})
        Click(ShutterX(shutter), kShutterY);
    // The lantern is seen burning; then back in the forest, with the progress kept, the awards.
    ASSERT_NO_FATAL_FAILURE(Expect("PlaySFX(audio/sfx/lantern_lit", mark));
    EXPECT_GT(WarmPixels(Shot(*mRun, Artifact("lantern_lit")), kShutters), 10000u);
    ASSERT_NO_FATAL_FAILURE(Expect("RESTORING LASTSCENE(forest)", mark));
    // Two awards, a notice each.
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_lit_forest", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("EarnAward(award_first_try)", mark));
    const size_t first = mRun->Log().find("PAUSE:::::::::::::::::: EXITED",
                                          mRun->Log().find("Award earned: Order of the stars", mark));
    ASSERT_NO_FATAL_FAILURE(CloseAwardNotice(*mRun, first, Artifact("award")));
    EXPECT_NE(mRun->Log().find("Award earned: Steady hands, ", first), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(HeardLine("mira_lantern_lit", mark));
    // Back in the forest the lantern burns on the stump and its light brightens the trees.
    const TPicture lit = Shot(*mRun, Artifact("forest_lit"));
    EXPECT_GT(WarmPixels(lit, kLanternOnStump), 100u);
    EXPECT_GT(MeanBrightness(lit, kTreesNearTheStump), MeanBrightness(forest, kTreesNearTheStump) + 4.0);
    mark = Mark();
    Click(kClearingPathX, kClearingPathY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("MET_BeginScene(clearing)", mark));
    // The lantern stayed on the stump: the magic bag is empty.
    SavedGameHas({"S0:SCENE = clearing", "S0:LASTSCENE = forest", "Q:S0:I1complete = 1",
                  "D:S0:I0:B[BOOK_SEC]key = sketch", "D:S0:I2:B[BOOK_PRI]key = fireflies",
                  "I:S0:I0:B[BAG_MAGIC]key = "});
    SavedVariable("lantern_lit", 1);
    SavedVariable("fireflies_seen", 1);

    // --- The clearing: Pip, home, and the end of the game. ---
    const TPicture clearing = ArrivedShot(*mRun, Artifact("clearing"), kMiraInClearing);
    ExpectLikeReference(clearing, Artifact("clearing"), "clearing_reference.png", {kLivelyInterface});
    mark = Mark();
    Click(kPipX, kPipY);
    ASSERT_NO_FATAL_FAILURE(Expect("SEEING CHOICE clearing_ask_home", mark));
    Click(kChoiceX, ChoiceY(3));
    ASSERT_NO_FATAL_FAILURE(AwardNoticed("award_found_pip", mark));
    // The story's last picture, over the darkened game, says the score.
    ASSERT_NO_FATAL_FAILURE(Expect("DEFERRED POPUP (quest/clearing/home_at_last.png, Home at last, ", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("Your score: 155 of 170 points, with 11 of the 12 awards.)", mark));
    const size_t ending = mRun->Log().find("DEFERRED POPUP (quest/clearing/home_at_last.png", mark);
    const TPicture end = ArrivedShot(*mRun, Artifact("the_end"), kPopup);
    // Around it the game has gone dark, the bar's ivy, paw print and glitter with the bar.
    for (const TBox& box : {TBox{0, 497, 96, 531}, kLivelyInterface, TBox{704, 497, 800, 531}})
        EXPECT_LT(MeanBrightness(end, box), 6.0) << box.left << "," << box.top;
    EXPECT_EQ(mRun->Log().find("GAME WAS OVER", mark), std::string::npos) << "the end waits for the player";
    Click(kPopupOkX, kPopupOkY, 100);
    ASSERT_NO_FATAL_FAILURE(Expect("GAME WAS OVER", ending));
    ASSERT_NO_FATAL_FAILURE(Expect("Score entry shown: layouts/hiscore.lua", ending));
    SavedVariable("game_finished", 1);

    // --- The score entry: the awards' points, sent under a name; then the credits roll. ---
    // The table of this computer shows the player's score in its first row, and nothing below.
    Send("500 move 400 300");
    const TPicture entry = Shot(*mRun, Artifact("score_entry"));
    auto written = [&](int top) {
        size_t bright = 0;
        for (int y = top; y < top + kScoreRowHeight; ++y)
            for (int x = kScoreRows.left; x < kScoreRows.right; ++x)
                bright += entry.rgba[(size_t(y) * entry.width + x) * 4 + 1] > 150;
        return bright;
    };
    EXPECT_GT(written(kScoreRows.top), 100u) << "the player's score in the score entry";
    EXPECT_EQ(written(kScoreRows.top + kScoreRowHeight), 0u);
    Click(kSendScoreX, kSendScoreY, 400);
    Send("400 text Ann");
    Click(kSubmitSendX, kSubmitSendY);
    ASSERT_TRUE(mServer.WaitForRequests(3, 20000)) << mRun->Log();
    const std::vector<RecordedRequest> requests = mServer.Requests();
    const std::string sent = Payload(requests[0], "score");
    EXPECT_NE(sent.find("name=\"Ann\""), std::string::npos) << sent;
    // 5 + 10 + 10 + 10 + 10 + 15 + 10 + 20 + 30 + 10 + 25: every award but the one for
    // asking the gardener everything.
    EXPECT_NE(sent.find("score=\"155\""), std::string::npos) << sent;
    EXPECT_NE(requests[1].body.find("action=tables"), std::string::npos) << requests[1].body;
    EXPECT_NE(requests[2].body.find("action=get"), std::string::npos) << requests[2].body;
    Shot(*mRun, Artifact("scores"));
    mark = Mark();
    Click(kScoresBackX, kScoresBackY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("Credits shown: layouts/credits.lua", mark));
    const TPicture rolling = Shot(*mRun, Artifact("credits"));
    // The roll starts after a pause of a second and a half.
    Send("2000 move " + std::to_string(kCreditsBackX) + " " + std::to_string(kCreditsBackY));
    const TPicture rolled = Shot(*mRun, mHome.Path() + "/rolled.png");
    EXPECT_GT(CountDifferingPixels(rolling, rolled, 8, kCreditsRoll.left, kCreditsRoll.top, kCreditsRoll.right,
                                   kCreditsRoll.bottom),
              1000u)
        << "the credits roll";
    Click(kCreditsBackX, kCreditsBackY);
    ASSERT_NO_FATAL_FAILURE(Expect("Menu shown: layouts/mainmenu.lua", mark));
    // Play left after the story's end saved nothing over the finished game, and it is not
    // offered again.
    const size_t over = mRun->Log().find("GAME WAS OVER", ending);
    const std::string afterTheEnd =
        mRun->Log().substr(over, mRun->Log().find("Menu shown: layouts/mainmenu.lua", mark) - over);
    EXPECT_EQ(afterTheEnd.find("tGamestate::SaveGame("), std::string::npos) << afterTheEnd;
    ASSERT_NO_FATAL_FAILURE(Expect("The saved game is finished: nothing to continue", mark));
    Send("500 move 400 550");
    const TPicture menuAtTheEnd = Shot(*mRun, Artifact("menu_finished"));
    // The entries close up without it: where the one under Continue stood is empty now.
    const TBox below{kContinue.left, kContinue.top + 64, kContinue.right, kContinue.bottom + 64};
    EXPECT_GT(CountDifferingPixels(menuWithContinue, menuAtTheEnd, 8, below.left, below.top, below.right, below.bottom),
              2000u)
        << "Continue is gone from the menu";

    // --- Ann again, with every award of the cottage her own: nothing to lose, so Play asks
    // nothing; the key and the note, earning nothing, and the close box in the middle. ---
    mark = Mark();
    ASSERT_TRUE(ClickUntil(*mRun, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", mark)) << mRun->Log();
    Click(kPlayerOkX, kPageButtonY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("Starting a new game", mark));
    EXPECT_EQ(mRun->Log().find("Asking before starting over", mark), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(HeardLine("mira_opening", mark));
    Click(kDrawerX, kDrawerY, 300);
    ASSERT_NO_FATAL_FAILURE(HeardLine("mira_drawer", mark));
    Click(kNoteX, kNoteY, 300);
    ASSERT_NO_FATAL_FAILURE(HeardLine("cottage_note_think", mark));
    EXPECT_EQ(mRun->Log().find("EarnAward", mark), std::string::npos) << mRun->Log().substr(mark);
    // Kept as they were taken, whichever way the game ends.
    SavedGameHas({"S0:SCENE = cottage", "I:S0:I0:B[BAG_INV]key = key", "I:S0:I1:B[BAG_INV]key = note"});
    // The close box's question holds the game, as the pause screen does.
    mark = Mark();
    QuitThroughTheDialog(*mRun);
    const size_t asked = mRun->Log().find("Asking whether to quit", mark);
    EXPECT_LT(mRun->Log().find("PAUSE:::::::::::::::::: ENTERED", mark), asked) << mRun->Log().substr(mark);
    NoFaultsIn(mRun->Log());
    if (HasFatalFailure())
        return;

    // --- Continued: the bag as it was, the note off the table, Mira before it, no opening line
    // again; Play asks before it throws the game away, and Escape on the menu asks to quit. ---
    ASSERT_NO_FATAL_FAILURE(ContinueAfterRestart("cottage"));
    Send("2000 move 400 200");
    const TPicture resumed = Shot(*mRun, Artifact("resumed"));
    EXPECT_GT(CountDifferingPixels(cottage, resumed, 8, kNoteOnTable.left, kNoteOnTable.top, kNoteOnTable.right,
                                   kNoteOnTable.bottom),
              300u)
        << "the note stays in the bag";
    EXPECT_GT(CountDifferingPixels(cottage, resumed, 8, kBelowTheDrawer.left, kBelowTheDrawer.top,
                                   kBelowTheDrawer.right, kBelowTheDrawer.bottom),
              300u)
        << "Mira stands before the table, where she was";
    ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(*mRun));
    mark = Mark();
    ASSERT_TRUE(ClickUntil(*mRun, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", mark)) << mRun->Log();
    Click(kPlayerOkX, kPageButtonY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("Asking before starting over the saved game", mark));
    Shot(*mRun, Artifact("start_again"));
    Click(kDialogNoX, kDialogButtonY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("New game dialog answered: newgame_no", mark));
    EXPECT_EQ(mRun->Log().find("Starting a new game", mark), std::string::npos);
    EXPECT_EQ(mRun->Log().find("PlayVox(audio/vox/mira_opening"), std::string::npos) << "the opening line again";
    SavedGameHas({"S0:SCENE = cottage", "I:S0:I0:B[BAG_INV]key = key", "I:S0:I1:B[BAG_INV]key = note"});
    mark = Mark();
    Send("300 key escape");
    ASSERT_NO_FATAL_FAILURE(Expect("Main menu closed: menu_quit", mark));
    ASSERT_NO_FATAL_FAILURE(Expect("Asking whether to quit", mark));
    Click(kDialogYesX, kDialogButtonY, 300);
    ASSERT_NO_FATAL_FAILURE(Expect("QUITTING THE APP!", mark));
    EXPECT_EQ(mRun->Finish(), 0);
    // (A game continued and left: only the bar's line was shown.)
    NoFaultsIn(mRun->Log(), 1);
}

}  // namespace
