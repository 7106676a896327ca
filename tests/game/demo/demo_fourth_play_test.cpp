// What a fourth new player met, played again on a data copy that starts where it happened: the
// gardener's talk (its farewell always in view, the new questions first, Escape leaving it, his
// diary page once he has lent his lantern), Escape in the lantern puzzle (once, and twice in a
// row), the awards paged by the arrow keys and the options saying what the talking speed times.
// And what the game keeps when play is left in the middle of a step: the drawer's award during
// its line, a wrong shutter inside the puzzle.

#include "game/demo/demo_data.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The choices' rows, 36 pixels apart from the box's top.
constexpr int kChoiceX = 300;
constexpr int ChoiceY(int row)
{
    return 30 + 36 * row;
}
constexpr int kGardenerY = 370, kGardenerFromX = 380, kGardenerToX = 640;
constexpr int kMagicIconX = 652, kIconY = 565;
constexpr int kStumpX = 400, kStumpY = 455;

// A new game that skips the cottage: `setup` (Lua) runs there, then the game goes on in `scene`.
void StartIn(const TDataCopy& data, const std::string& scene, const std::string& setup)
{
    data.Append("quest/cottage/cottage.lua", "\ntable.insert(scene_spec.actorlist, {\n"
                                             "    name = \"SHORTCUT\",\n"
                                             "    command = function(self)\n"
                                             "        game:Set(\"cottage_opening\", 1)\n" +
                                                 setup +
                                                 "\n        coroutine.yield(RESUME.ON_DELAY, 5)\n"
                                                 "        scene:ChainTo(\"" +
                                                 scene +
                                                 "\")\n"
                                                 "    end,\n"
                                                 "})\n");
}

// The keys of the choices offered after `from`, in the order shown.
std::vector<std::string> Offered(const std::string& log, size_t from)
{
    const std::string seeing = "SEEING CHOICE ", offer = "::OfferChoices()";
    const size_t offered = log.find(offer, from);
    if (offered == std::string::npos)
        return {};
    const size_t next = log.find(offer, offered + offer.size());
    std::vector<std::string> keys;
    for (size_t at = log.find(seeing, offered); at < next; at = log.find(seeing, at + 1)) {
        const size_t key = at + seeing.size();
        keys.push_back(log.substr(key, log.find('|', key) - key));
    }
    return keys;
}

// Pixels of the box brighter than the page behind it: written words.
size_t Written(const TPicture& picture, const TBox& box)
{
    size_t bright = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            bright += picture.rgba[(size_t(y) * size_t(picture.width) + size_t(x)) * 4 + 1] > 150;
    return bright;
}

// Escape, sent after `record` (input records), leads to `left` and `ended` with no pause; then,
// out of what it left, Escape pauses as ever.
void EscapeLeaves(TDemoRun& run, const std::string& record, const std::string& left, const std::string& ended)
{
    size_t mark = run.Log().size();
    run.Send(record + "\n500 key escape");
    ASSERT_TRUE(run.WaitFor(left, 20000, mark)) << run.Log().substr(mark);
    ASSERT_TRUE(run.WaitFor(ended, 20000, mark)) << run.Log().substr(mark);
    EXPECT_EQ(run.Log().find("Pause screen shown", mark), std::string::npos) << run.Log().substr(mark);
    mark = run.Log().size();
    run.Send("300 key escape");
    EXPECT_TRUE(run.WaitFor("Pause screen shown", 20000, mark)) << run.Log().substr(mark);
    run.Send("400 key escape");
    ASSERT_TRUE(run.WaitFor("PAUSE:::::::::::::::::: EXITED", 20000, mark)) << run.Log().substr(mark);
    QuitThroughTheDialog(run);
}

TEST(DemoFourthPlay, TheGardenersTalkKeepsItsFarewellInViewAndEscapeLeavesIt)
{
    TDataCopy data;
    StartIn(data, "garden", "        game:Set(\"met_gardener\", 1)");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("MET_BeginScene(garden)", 30000)) << run.Log();

    // He potters about: found by his name under the pointer.
    size_t mark = 0;
    bool caught = false;
    for (int i = 0; i < 5 && !caught; ++i)
        for (int x = kGardenerFromX; x <= kGardenerToX && !caught; x += 20) {
            mark = run.Log().size();
            run.Send("30 move " + std::to_string(x) + " " + std::to_string(kGardenerY));
            if (!run.WaitFor(">Gardener]", 250, mark))
                continue;
            run.Send(Click(x, kGardenerY));
            caught = run.WaitFor("MET_Event(ClickedOnActor, GARDENER, )", 1000, mark);
        }
    ASSERT_TRUE(caught) << run.Log();
    ASSERT_TRUE(run.WaitFor("SEEING CHOICE garden_ask_weather", 30000, mark)) << run.Log();
    // The farewell first, in view with the first three questions.
    EXPECT_EQ(Offered(run.Log(), mark),
              (std::vector<std::string>{"garden_ask_bye", "garden_ask_pip", "garden_ask_roses", "garden_ask_gate",
                                        "garden_ask_lantern", "garden_ask_weather"}));

    // The roses: his page in the diary; asked, the question goes below the new ones.
    mark = run.Log().size();
    run.Send(Click(kChoiceX, ChoiceY(2)));
    ASSERT_TRUE(run.WaitFor("MET_Event(ClickedChoice, garden_ask_roses, )", 20000, mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("SEEING CHOICE garden_ask_roses", 30000, mark)) << run.Log();
    EXPECT_EQ(Offered(run.Log(), mark),
              (std::vector<std::string>{"garden_ask_bye", "garden_ask_pip", "garden_ask_gate", "garden_ask_lantern",
                                        "garden_ask_weather", "garden_ask_roses"}));

    // The lantern: lent, and his page no longer says he might lend it.
    mark = run.Log().size();
    run.Send(Click(kChoiceX, ChoiceY(3)));
    ASSERT_TRUE(run.WaitFor("MET_Event(ClickedChoice, garden_ask_lantern, )", 20000, mark)) << run.Log();
    ASSERT_NO_FATAL_FAILURE(CloseAwardNotice(run, mark, run.TempDir() + "/award.png"));
    ASSERT_TRUE(run.WaitFor("SEEING CHOICE garden_ask_lantern", 30000, mark)) << run.Log();
    const std::string dump = DumpPrefs(run);
    EXPECT_NE(dump.find("diary_roseslent_1"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("diary_roses_1"), std::string::npos) << dump;

    // Escape takes the farewell.
    EscapeLeaves(run, "10 move 400 300", "MET_Event(ClickedChoice, garden_ask_bye, )",
                 "tGirl[GARDENER]::SayRaw([], 0)");
}

// A new game in the forest, the puzzle explained; the lantern comes into the bag (again, in a
// game continued) once the bar is there to show it.
void ForestWithTheLantern(const TDataCopy& data)
{
    StartIn(data, "forest", "        game:Set(\"forest_arrived\", 1)\n        game:Set(\"lantern_explained\", 1)");
    data.Append("quest/forest/forest.lua", "\ntable.insert(scene_spec.actorlist, {\n"
                                           "    name = \"LENDER\",\n"
                                           "    command = function(self)\n"
                                           "        coroutine.yield(RESUME.ON_FADE)\n"
                                           "        if quest:CheckQuest(\"lantern\") == nil then AddQuest(quests.lantern) end\n"
                                           "        BAG_MAGIC:AddInventory(items.lantern)\n"
                                           "        game:TaskComplete(\"lantern lent\")\n"
                                           "    end,\n"
                                           "})\n");
}

// The lantern from the bag on the stump: the puzzle opens. The bag takes no click while Mira
// speaks (her line as the puzzle closes).
void OpenThePuzzle(TDemoRun& run)
{
    ASSERT_TRUE(run.WaitFor("MET_TaskEvent(scripted-task, lantern lent", 30000)) << run.Log();
    const size_t mark = run.Log().size();
    for (int i = 0; i < 20 && !run.WaitFor("tGamestate::UseInventory(1, lantern)", 3000, mark); ++i)
        run.Send("300 move " + std::to_string(kMagicIconX) + " " + std::to_string(kIconY) + "\n" +
                 Click(kMagicIconX, kIconY));
    run.Send(Click(kStumpX, kStumpY));
    ASSERT_TRUE(run.WaitFor("MET_BeginScene(quest/forest/lantern.lua)", 20000, mark)) << run.Log().substr(mark);
}

// The puzzle's shutters, left to right; their stars are 3, 1, 4, 2.
std::string Shutter(int i)
{
    return Click(290 + 72 * (i - 1), 290);
}

// Escape twice, 20 ms apart, `after` ms from now: the puzzle closes once, and the forest stays and
// goes on to `next`, its own line or an award's fanfare. A second Escape that comes once the
// puzzle has gone pauses the game (within a frame): the pause is left.
void EscapeTwice(TDemoRun& run, int after, const std::string& next)
{
    const size_t mark = run.Log().size();
    // (A record waits its delay after the one before it, which may have been long ago.)
    run.Send("10 move 400 300\n" + std::to_string(after) + " key escape\n20 key escape");
    ASSERT_TRUE(run.WaitFor("RESTORING LASTSCENE(forest)", 20000, mark)) << run.Log().substr(mark);
    if (run.WaitFor("Pause screen shown", 1000, mark)) {
        run.Send("10 move 400 301\n300 key escape");
        ASSERT_TRUE(run.WaitFor("Pause screen: resume", 20000, mark)) << run.Log().substr(mark);
    }
    ASSERT_TRUE(run.WaitFor(next, 20000, mark)) << run.Log().substr(mark);
    EXPECT_EQ(run.Log().find("MET_BeginScene(forest)", mark), std::string::npos) << run.Log().substr(mark);
}

// Opened in the order of their stars, the shutters light the lantern; Escape twice while it is
// seen burning. Back in the forest the awards are told (`firstTry`: "Steady hands" too) and the
// lantern's line is said.
void SolveAndEscapeTwice(TDemoRun& run, bool firstTry)
{
    size_t mark = run.Log().size();
    for (int i : {2, 4, 1, 3})
        run.Send(Shutter(i));
    ASSERT_TRUE(run.WaitFor("PlaySFX(audio/sfx/lantern_lit", 20000, mark)) << run.Log().substr(mark);
    ASSERT_NO_FATAL_FAILURE(EscapeTwice(run, 100, "tSFXManager::Play(audio/sfx/award.ogg"));
    EXPECT_NE(run.Log().find("EarnAward(award_lit_forest)", mark), std::string::npos) << run.Log().substr(mark);
    EXPECT_EQ(run.Log().find("EarnAward(award_first_try)", mark) != std::string::npos, firstTry)
        << run.Log().substr(mark);
    for (int told = 0; told < (firstTry ? 2 : 1); ++told) {
        ASSERT_NO_FATAL_FAILURE(CloseAwardNotice(run, mark, run.TempDir() + "/award.png"));
        mark = run.Log().find("PAUSE:::::::::::::::::: EXITED", run.Log().find("DEFERRED POPUP (icons/award", mark));
    }
    ASSERT_TRUE(run.WaitFor("PlayVox(audio/vox/mira_lantern_lit", 20000, mark)) << run.Log().substr(mark);
}

// Solved, the puzzle is left by two Escapes; then the program quits, and the lantern lit is
// kept with all it gave: out of the bag, its quest done.
void LightTheLanternAndQuit(TDemoRun& run, bool firstTry)
{
    ASSERT_NO_FATAL_FAILURE(OpenThePuzzle(run));
    ASSERT_NO_FATAL_FAILURE(SolveAndEscapeTwice(run, firstTry));
    QuitThroughTheDialog(run);
    const std::string dump = DumpPrefs(run);
    for (const char* line : {"S0:SCENE = forest\n", "I:S0:I0:B[BAG_MAGIC]key = \n", "Q:S0:I0key = lantern\n",
                             "Q:S0:I0complete = 1\n", ":key = lantern_lit\n"})
        EXPECT_NE(dump.find(line), std::string::npos) << line << " in\n" << dump;
}

// A new game started, up to the puzzle open.
void NewGameAtThePuzzle(TDemoRun& run)
{
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_NO_FATAL_FAILURE(OpenThePuzzle(run));
}

TEST(DemoFourthPlay, EscapeLeavesTheLanternPuzzleAndThenPauses)
{
    TDataCopy data;
    ForestWithTheLantern(data);
    TDemoRun run(data.Dir());
    ASSERT_NO_FATAL_FAILURE(NewGameAtThePuzzle(run));

    // Escape once the puzzle has had a moment to set itself up; back in the forest the back
    // button has gone with it.
    EscapeLeaves(run, "10 move 400 300", "RESTORING LASTSCENE(forest)", "PlayVox(audio/vox/forest_lantern_later");
}

// Two Escapes 20 ms apart leave the puzzle, unsolved or solved, and never reload the forest.
TEST(DemoFourthPlay, TwoEscapesInARowLeaveThePuzzleOnceSolvedOrNot)
{
    TDataCopy data;
    ForestWithTheLantern(data);
    TDemoRun run(data.Dir());
    ASSERT_NO_FATAL_FAILURE(NewGameAtThePuzzle(run));
    ASSERT_NO_FATAL_FAILURE(EscapeTwice(run, 500, "PlayVox(audio/vox/forest_lantern_later"));
    LightTheLanternAndQuit(run, true);
}

// A wrong shutter, and play left inside the puzzle: continued, the game still knows of it, and
// the lantern lit earns no "Steady hands". Solved and left by two Escapes, all it gave is kept.
TEST(DemoFourthPlay, AWrongShutterIsKeptWhenPlayIsLeftInsideThePuzzle)
{
    TDataCopy data;
    ForestWithTheLantern(data);
    const std::string home = data.Dir() + "/home";
    {
        TDemoRun run(data.Dir(), home);
        ASSERT_NO_FATAL_FAILURE(NewGameAtThePuzzle(run));
        const size_t mark = run.Log().size();
        run.Send("500 move 400 300");
        run.Send(Shutter(1));
        ASSERT_TRUE(run.WaitFor("PlaySFX(audio/sfx/shutter_stuck", 20000, mark)) << run.Log().substr(mark);
        QuitThroughTheDialog(run);
        const std::string dump = DumpPrefs(run);
        EXPECT_NE(dump.find("S0:SCENE = forest\n"), std::string::npos) << dump;
        EXPECT_NE(dump.find(":key = lantern_mistakes\n"), std::string::npos) << dump;
    }
    TDemoRun run(data.Dir(), home);
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", 0)) << run.Log();
    ASSERT_TRUE(run.WaitFor("MET_BeginScene(forest)")) << run.Log();
    LightTheLanternAndQuit(run, false);
}

// Play left while Mira names the key from the drawer: continued, the drawer's award is held.
TEST(DemoFourthPlay, TheDrawersAwardIsKeptWhenPlayIsLeftDuringItsLine)
{
    TDataCopy data;
    data.Append("quest/cottage/cottage.lua",
                "\ntable.insert(scene_spec.actorlist, { name = 'REPORTER', command = function(self)\n"
                "    coroutine.yield(RESUME.ON_FADE)\n"
                "    game:TaskComplete('key award held: ' .. tostring(game:HasAward('award_found_key')))\n"
                "end })\n");
    const std::string home = data.Dir() + "/home";
    {
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor("EarnAward(award_woke_up)")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(
            CloseAwardNotice(run, run.Log().find("EarnAward(award_woke_up)"), run.TempDir() + "/award.png"));
        const size_t mark = run.Log().size();
        run.Send("300 move 415 335");
        run.Send(Click(415, 335));
        ASSERT_TRUE(run.WaitFor("PlayVox(audio/vox/mira_drawer", 20000, mark)) << run.Log().substr(mark);
        QuitThroughTheDialog(run);
    }
    TDemoRun run(data.Dir(), home);
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", 0)) << run.Log();
    ASSERT_TRUE(run.WaitFor("MET_TaskEvent(scripted-task, key award held: ", 30000)) << run.Log();
    EXPECT_NE(run.Log().find("MET_TaskEvent(scripted-task, key award held: true"), std::string::npos) << run.Log();
    QuitThroughTheDialog(run);
}

// The awards page's title and text; under the options' "Talking speed", the note on what it times.
constexpr TBox kAwardShown{140, 190, 660, 370};
constexpr TBox kTalkNote{kPageX + 60, kPageY + 337, kPageX + 280, kPageY + 355};

TEST(DemoFourthPlay, TheArrowKeysPageTheAwardsAndTheOptionsSayWhatTalkingSpeedTimes)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    size_t mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kAwardsX, kAwardsY, "Opening layouts/awards.lua", mark)) << run.Log();
    run.Send("500 move 400 580");
    const TPicture first = Shot(run, run.TempDir() + "/first.png");
    const struct
    {
        const char* key;
        bool moves;
    } keys[] = {{"right", true}, {"left", false}, {"down", true}, {"up", false}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        run.Send(std::string("100 key ") + k.key);
        run.Send("300 move 400 581");
        const TPicture now = Shot(run, run.TempDir() + "/" + k.key + ".png");
        const size_t differing = CountDifferingPixels(first, now, 8, kAwardShown.left, kAwardShown.top,
                                                      kAwardShown.right, kAwardShown.bottom);
        if (k.moves)
            EXPECT_GT(differing, 500u) << "another award";
        else
            EXPECT_EQ(differing, 0u) << "the first award again";
    }
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Closed layouts/awards.lua", 20000, mark)) << run.Log();

    mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kOptionsX, kOptionsY, "Opening layouts/options.lua", mark)) << run.Log();
    run.Send("500 move 400 580");
    EXPECT_GT(Written(Shot(run, ArtifactDir() + "/fourth_play_options.png"), kTalkNote), 40u);
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Closed layouts/options.lua", 20000, mark)) << run.Log();
    QuitThroughTheDialog(run);
}

}  // namespace
