// Damage the player may meet: a preferences file cut short or overwritten, a scene whose
// background, walk mesh or heroine's animation is missing, scene scripts that fail while the
// scene loads or while an actor's script runs, a voice line of random bytes. Each is logged,
// the player can go on or gets back to the menu, nothing crashes and no save is lost.

#include "game/demo/demo_hops.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The log holds every text, from `from` on.
void ExpectLogged(const TDemoRun& run, const std::vector<std::string>& texts, size_t from = 0)
{
    for (const std::string& text : texts)
        EXPECT_NE(run.Log().find(text, from), std::string::npos) << text << "\nin\n" << run.Log();
}

// Ends the run as the system would, and checks that it ended cleanly.
void EndCleanly(TDemoRun& run)
{
    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    EXPECT_EQ(run.Log().find("Unhandled exception"), std::string::npos) << run.Log();
}

// The error dialog is up: the player closes it, and the game takes keys again.
void DismissTheErrorAndPause(TDemoRun& run, const std::string& title)
{
    ASSERT_TRUE(run.WaitFor("Error reported to the player: " + title)) << run.Log();
    const size_t mark = run.Log().size();
    run.Send("300 key return");
    run.Send("300 key escape");
    ASSERT_TRUE(run.WaitFor("Pause screen shown", 20000, mark)) << run.Log();
    run.Send("300 key escape");
    ASSERT_TRUE(run.WaitFor("PAUSE:::::::::::::::::: EXITED", 20000, mark)) << run.Log();
}

std::string SavedScene(const TDemoRun& run)
{
    return ReadHopSave(ReadDumpedSlot(DumpPrefs(run), 0)).scene;
}

TEST(DemoFaults, ADamagedPreferencesFileIsKeptAsideAndThePlayerGoesOn)
{
    TDataCopy data;
    const std::string saved = data.Dir() + "/saved";
    {
        TDemoRun run(data.Dir(), saved);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
        EndCleanly(run);
    }
    const std::string whole = ReadBytes(saved + "/share/tessivander/prefs.dat");
    ASSERT_GT(whole.size(), 100u);
    // As an older game leaves it: without the contents before the last save.
    fs::remove(saved + "/share/tessivander/prefs.dat.prev");

    const struct
    {
        const char* what;
        size_t keep;     // bytes kept of the file
        bool scrambled;  // the rest is there, as random bytes
        bool canGoOn;    // the saved game is still there
    } cases[] = {
        {"the last setting cut off", whole.size() - 5, false, true},
        {"random bytes", 0, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string home = data.Dir() + "/" + std::to_string(&c - cases);
        fs::copy(saved, home, fs::copy_options::recursive);
        const std::string file = home + "/share/tessivander/prefs.dat";
        std::string damaged = whole.substr(0, c.keep);
        if (c.scrambled) {
            damaged = whole;
            ScrambleBytes(damaged, 47, 0, damaged.size());
        }
        WriteBytes(file, damaged);

        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ExpectLogged(run, {"TPrefs: 'user:prefs.dat' is damaged (",
                           "Kept a copy of damaged 'user:prefs.dat' as 'user:prefs.dat.bad'"});
        ASSERT_TRUE(run.WaitFor("Error reported to the player: prefs_damaged_title")) << run.Log();
        run.Send("300 key return");
        ASSERT_TRUE(run.WaitFor("The player closed the notice prefs_damaged_title")) << run.Log();
        const size_t mark = run.Log().size();
        if (c.canGoOn) {
            ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", mark)) << run.Log();
        } else {
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Bea"));
        }
        ASSERT_TRUE(run.WaitFor("MET_BeginScene(cottage)", 20000, mark)) << run.Log();
        ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua", 20000, mark)) << run.Log();
        EndCleanly(run);
        // The damaged file is still there to be looked at, the new one reads whole.
        EXPECT_EQ(ReadBytes(file + ".bad"), damaged);
        const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
        EXPECT_TRUE(slot.whole);
        EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", c.canGoOn ? "Ann" : "Bea");
    }
}

TEST(DemoFaults, AMissingBackgroundWalkMeshAndAnimationAreLoggedAndPlayGoesOn)
{
    TDataCopy data;
    for (const char* file :
         {"quest/cottage/cottage.png", "quest/cottage/cottage.dverts", "quest/cottage/cottage.dmesh", "anims/mira.png"})
        data.Remove(file);
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
    ExpectLogged(run, {"Failed to load quest/cottage/cottage\n", "LoadGround(cottage) failed\n",
                       "tGirl::RegisterAnimFile(anims/mira.xml) failed\n"});
    // The scene's script runs on: Mira's opening line is heard to its end.
    ASSERT_TRUE(run.WaitFor("EarnAward(award_woke_up)")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(
        CloseAwardNotice(run, run.Log().find("EarnAward(award_woke_up)"), run.TempDir() + "/award.png"));
    ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(run));
    const size_t mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua", 20000, mark)) << run.Log();
    EndCleanly(run);
    EXPECT_EQ(SavedScene(run), "cottage");
}

TEST(DemoFaults, ASceneScriptFailingAsTheSceneLoadsIsReportedAndTheMenuIsReached)
{
    TDataCopy data;
    AddHoppers(data, 3);
    data.Append("quest/garden/garden.lua", "\nscene_spec.actorlist[2].halo = NoSuchHelper(\"gate\")\n");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("FILENAME quest/garden/garden.lua failed\n")) << run.Log();
    // The precise error is reported after the failure line, by running the script again.
    ASSERT_TRUE(run.WaitFor("GLOBAL LUA ERROR:script execute:")) << run.Log();
    ExpectLogged(run, {"attempt to call global `NoSuchHelper'"});
    ASSERT_NO_FATAL_FAILURE(DismissTheErrorAndPause(run, "script execute"));
    ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(run));
    EndCleanly(run);
    // The game was saved on the way to the garden.
    EXPECT_EQ(SavedScene(run), "garden");
}

// In the cottage: a prop's script fails after its first wait, and Mira's opening line is a
// voice file of random bytes.
TEST(DemoFaults, AnActorsFailingScriptAndAVoiceLineOfRandomBytesLeaveThePlayerInControl)
{
    TDataCopy data;
    data.Append("quest/cottage/cottage.lua", "\ntable.insert(scene_spec.actorlist, {\n"
                                             "    name = \"BROKEN\",\n"
                                             "    command = function(self)\n"
                                             "        coroutine.yield(RESUME.ON_DELAY, 2)\n"
                                             "        self.missing.field = 1\n"
                                             "    end,\n"
                                             "})\n");
    // The voice lines are packed in an archive; a loose file of the same name takes its place.
    std::string noise(4096, '\0');
    ScrambleBytes(noise, 11, 0, noise.size());
    fs::create_directories(data.Dir() + "/assets/audio/vox");
    WriteBytes(data.Dir() + "/assets/audio/vox/mira_opening.ogg", noise);
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("tGirl[BROKEN]::lua_resume returned(1)")) << run.Log();
    ASSERT_TRUE(run.WaitFor("GLOBAL LUA ERROR:ResumeHelper:")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(DismissTheErrorAndPause(run, "ResumeHelper"));
    // The line is timed from its text and Mira goes on.
    ASSERT_TRUE(run.WaitFor("EarnAward(award_woke_up)")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(
        CloseAwardNotice(run, run.Log().find("EarnAward(award_woke_up)"), run.TempDir() + "/award.png"));
    ExpectLogged(run, {"tSFXManager::Play()::Couldn't get audio/vox/mira_opening.ogg\n",
                       "PlayVox(audio/vox/mira_opening:Pip? Pip! Where has that cat got to this time?) No Vox file\n"});
    const size_t mark = run.Log().size();
    run.Send(Click(550, 440));
    ASSERT_TRUE(run.WaitFor("MET_Event(ClickedOnZone, Ground, )", 20000, mark)) << run.Log();
    ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(run));
    EndCleanly(run);
    EXPECT_EQ(SavedScene(run), "cottage");
}

}  // namespace
