// Play itself, end to end: a new player's new game shows the cottage inside the game window
// with its interface, Mira walks where the floor is clicked, Escape pauses and resumes, the
// pause screen leads back to the menu, the menu continues the saved game, and the save names
// the scene and holds what was done in it.

#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Where Mira stands when the cottage starts, and a floor point to the right to walk to.
constexpr int kMiraLeft = 260, kMiraTop = 330, kMiraRight = 340, kMiraBottom = 490;
constexpr int kFloorX = 550, kFloorY = 440;

TEST(DemoPlay, TheCottageIsPlayedInTheGameWindowAndLeftForTheMenu)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
    EXPECT_NE(run.Log().find("TGame::PostChildrenInit()"), std::string::npos) << run.Log();
    // The player has the control once Mira's opening line has been heard.
    ASSERT_TRUE(run.WaitFor("EarnAward(award_woke_up)")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(
        CloseAwardNotice(run, run.Log().find("EarnAward(award_woke_up)"), run.TempDir() + "/award.png"));

    const std::string shot = ArtifactDir() + "/cottage.png";
    std::remove(shot.c_str());
    const TPicture cottage = Shot(run, shot);
    std::printf("The cottage as played: %s\n", shot.c_str());
    ExpectLikeReference(cottage, shot, "cottage_reference.png", {kLivelyInterface});

    // A click on the floor: she sets off, and goes on moving from one frame to the next.
    const std::string dir = run.TempDir();
    size_t mark = run.Log().size();
    run.Send(Click(kFloorX, kFloorY));
    ASSERT_TRUE(run.WaitFor("MET_Event(ClickedOnZone, Ground, )", 20000, mark)) << run.Log();
    const TPicture early = Shot(run, dir + "/early.png");
    const TPicture later = Shot(run, dir + "/later.png");
    EXPECT_GT(CountDifferingPixels(cottage, early, 8, kMiraLeft, kMiraTop, kMiraRight, kMiraBottom), 500u);
    EXPECT_GT(CountDifferingPixels(early, later, 8, kMiraLeft, kMiraTop, kFloorX + 40, kMiraBottom), 500u);

    // Escape pauses: the panel slides in over the stopped game; Escape again resumes.
    mark = run.Log().size();
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Pause screen shown", 20000, mark)) << run.Log();
    // The panel slides in over several frames (slowly under the sanitizers): look until it is in.
    size_t covered = 0;
    for (int i = 0; i < 20 && covered <= 40000u; ++i) {
        const TPicture paused = Shot(run, dir + "/paused.png");
        covered = CountDifferingPixels(later, paused, 8, kPauseLeft, kPauseTop, kPauseRight, kPauseBottom);
    }
    EXPECT_GT(covered, 40000u);
    EXPECT_TRUE(run.WaitFor("PlaySFX(audio/sfx/window_in)", 20000, mark)) << run.Log();
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("PAUSE:::::::::::::::::: EXITED", 20000, mark)) << run.Log();
    // It slid out before it closed.
    EXPECT_TRUE(run.WaitFor("PlaySFX(audio/sfx/window_out.ogg)", 20000, mark)) << run.Log();
    EXPECT_LT(run.Log().find("window_out", mark), run.Log().find("PAUSE:::::::::::::::::: EXITED", mark));
    const TPicture resumed = Shot(run, dir + "/resumed.png");
    // Above where Mira now stands, the wall is as it was.
    EXPECT_EQ(CountDifferingPixels(cottage, resumed, 8, kPauseLeft, kPauseTop, kPauseRight, kPauseTop + 100), 0u)
        << "the panel is gone";

    // The pause screen's "Main menu" ends play and the menu comes back.
    mark = run.Log().size();
    ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(run));
    EXPECT_NE(run.Log().find("MET_EndPlay()", mark), std::string::npos) << run.Log();
    // Leaving is not finishing: no score entry, no credits.
    EXPECT_EQ(run.Log().find("Score entry shown", mark), std::string::npos) << run.Log();

    // The menu now offers to continue: the saved game comes back in the game window, and a
    // close request asked over the game ends the program.
    mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua", 20000, mark)) << run.Log();
    EXPECT_NE(run.Log().find("MET_BeginScene(cottage)", mark), std::string::npos) << run.Log();
    QuitThroughTheDialog(run);
    EXPECT_EQ(run.Log().find("Lua error"), std::string::npos) << run.Log();
    const std::string dump = DumpPrefs(run);
    EXPECT_NE(dump.find("S0:SCENE = cottage\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("name = Ann\n"), std::string::npos) << dump;
    // Progress made in a scene is kept without a change of scene: her first walk retired the
    // walking hint for good.
    EXPECT_NE(dump.find(":key = hint_walked\n"), std::string::npos) << dump;
}

}  // namespace
