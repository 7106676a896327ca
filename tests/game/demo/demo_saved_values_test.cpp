// Saved values no dialog could have made: a saved scene the game does not have, a player name
// far past the longest a name may be, more players than one page lists. The game reads what it
// can use, tells the player what it cannot, and loses nothing.

#include "core/config/config.h"
#include "core/files/file.h"
#include "core/prefs/prefs.h"
#include "game/demo/demo_hops.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

constexpr const char* kDemoKey = "Rw4TnQ8vLpXe";

std::string PrefsPath(const std::string& home)
{
    return home + "/share/tessivander/prefs.dat";
}

// The player's preferences as `fill` makes them, saved once, with player 0 current.
void WritePrefs(const std::string& home, const std::function<void(TPrefs&)>& fill)
{
    const std::string folder = fs::path(PrefsPath(home)).parent_path();
    fs::create_directories(folder);
    TFile::ShutDownFileSystem();
    TFile::TFolders folders;
    folders.user = folder.c_str();
    TFile::SetFolders(folders);
    TConfig::SetConfig(TConfig::kEncryptionKey, kDemoKey);
    {
        TPrefs prefs(true);
        prefs.SetInt("curuser", 0, -1, false);
        fill(prefs);
        EXPECT_TRUE(prefs.SavePrefs());
    }
    TFile::ShutDownFileSystem();
}

// A player as the name dialog makes one, whose awards already have their key.
void AddPlayer(TPrefs& prefs, int user, const std::string& name)
{
    prefs.SetStr("name", name.c_str(), user, false);
    prefs.SetStr("awardkey", ("profile-" + std::to_string(user)).c_str(), user, false);
}

void EndCleanly(TDemoRun& run)
{
    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
}

// A million letters where a name holds sixteen: the menu greets the player by the first
// sixteen at once, and the game ends on SIGTERM as quickly as ever. The file keeps them all.
TEST(DemoSavedValues, ANameOfAMillionLettersShowsAsTheLettersANameHolds)
{
    TDataCopy data;
    const std::string name = std::string(1000000, 'n');
    WritePrefs(data.Dir(), [&](TPrefs& prefs) { AddPlayer(prefs, 0, name); });
    TDemoRun run(data.Dir(), data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua", 10000)) << run.Log().substr(0, 4000);
    ASSERT_TRUE(ClickUntil(run, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", 0)) << run.Log().substr(0, 4000);
    const auto asked = std::chrono::steady_clock::now();
    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 3000)) << run.Log().substr(0, 4000);
    EXPECT_EQ(run.Finish(3000), 0) << run.Log().substr(0, 4000);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(3));
    const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
    EXPECT_EQ(slot.values.count("name") ? slot.values.at("name").size() : 0, name.size());
}

TEST(DemoSavedValues, ASavedSceneTheGameDoesNotHaveIsToldAndNewGameStartsOver)
{
    TDataCopy data;
    const std::string cases[] = {"nowhere", "../../../etc/passwd", std::string(100000, 'q')};
    for (const std::string& scene : cases) {
        const std::string home = data.Dir() + "/" + std::to_string(&scene - cases);
        SCOPED_TRACE(scene.substr(0, 40));
        WritePrefs(home, [&](TPrefs& prefs) {
            AddPlayer(prefs, 0, "Ann");
            prefs.SetStr("S0:SCENE", scene.c_str(), 0, false);
        });
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        for (int attempt = 0; attempt < 2; ++attempt) {
            const size_t mark = run.Log().size();
            ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", mark)) << run.Log();
            ASSERT_TRUE(run.WaitFor("Error reported to the player: continue_failed_title", 20000, mark))
                << run.Log().substr(mark, 4000);
            if (&scene == cases && attempt == 0)
                EXPECT_TRUE(run.Screenshot(ArtifactDir() + "/continue_failed.png"));
            EXPECT_NE(run.Log().find("no scene of the scene list", mark), std::string::npos);
            run.Send("300 key return");
            ASSERT_TRUE(run.WaitFor("Told that the saved game cannot be continued", 20000, mark))
                << run.Log().substr(mark, 4000);
        }
        // No scene was opened under that name, and none was shown.
        EXPECT_EQ(run.Log().find("MET_BeginScene("), std::string::npos) << run.Log().substr(0, 4000);
        EXPECT_EQ(run.Log().find("Game shown"), std::string::npos);
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Bea"));
        ASSERT_TRUE(run.WaitFor("MET_BeginScene(cottage)")) << run.Log().substr(0, 4000);
        EndCleanly(run);
        // Ann's save is still there as it was.
        const TDumpedSlot ann = ReadDumpedSlot(DumpPrefs(run), 0);
        EXPECT_EQ(ann.values.count("name") ? ann.values.at("name") : "", "Ann");
        EXPECT_EQ(ann.values.count("S0:SCENE") ? ann.values.at("S0:SCENE").size() : 0, scene.size());
    }
}

// A thousand players: the page turns round from the first to the last, whose player then plays.
// Every player stays in the file.
TEST(DemoSavedValues, AThousandPlayersAreEachReachedOnTheirPage)
{
    TDataCopy data;
    constexpr int kPlayers = 1000;
    WritePrefs(data.Dir(), [&](TPrefs& prefs) {
        for (int i = 0; i < kPlayers; ++i)
            AddPlayer(prefs, i, "Player " + std::to_string(i));
    });
    TDemoRun run(data.Dir(), data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_TRUE(ClickUntil(run, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", 0)) << run.Log();
    // Previous, from the first page; then the last player's button, the tenth.
    ASSERT_TRUE(ClickUntil(run, kPageX + 165, kPageY + 400, "Players shown from 990", 0)) << run.Log();
    run.Send(Click(kPageX + 440, kPageY + 328));
    EXPECT_TRUE(run.Screenshot(ArtifactDir() + "/thousand_players_last_page.png"));
    run.Send(Click(kPlayerOkX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Starting a new game")) << run.Log();
    ASSERT_TRUE(run.WaitFor("MET_BeginScene(cottage)")) << run.Log();
    EndCleanly(run);
    const std::string dump = DumpPrefs(run);
    EXPECT_NE(dump.find(std::to_string(kPlayers) + " users"), std::string::npos) << dump.substr(0, 300);
    EXPECT_NE(dump.find("    curuser = 999\n"), std::string::npos);
    const TDumpedSlot last = ReadDumpedSlot(dump, kPlayers - 1);
    EXPECT_TRUE(last.whole);
    EXPECT_EQ(last.values.count("name") ? last.values.at("name") : "", "Player 999");
    EXPECT_EQ(last.values.count("S0:SCENE") ? last.values.at("S0:SCENE") : "", "cottage");
}

}  // namespace
