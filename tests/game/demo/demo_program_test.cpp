// The program on the demo data, end to end: the menu as drawn, driven by replayed input, and
// started on damaged copies of the data folder.

#include "game/demo/demo_data.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(DemoProgram, MenuMatchesTheStoredPicture)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    // The menu window found its music.
    EXPECT_NE(run.Log().find("MET_BeginMainMenu()"), std::string::npos) << run.Log();
    EXPECT_EQ(run.Log().find("No valid sound file found: audio/music/mainmenumusic"), std::string::npos) << run.Log();
    const std::string shot = ArtifactDir() + "/menu.png";
    std::remove(shot.c_str());
    const TPicture taken = Shot(run, shot);
    std::printf("The menu as drawn: %s\n", shot.c_str());
    ExpectLikeReference(taken, shot, "menu_reference.png", {});

    QuitThroughTheDialog(run);
}

TEST(DemoProgram, ReactsToPointerAndCloseRequests)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    const std::string dir = run.TempDir();

    // Hovering a button changes its picture; clicking runs its command.
    ASSERT_TRUE(run.Screenshot(dir + "/away.png"));
    run.Send("50 move " + std::to_string(kScoresX) + " " + std::to_string(kScoresY));
    ASSERT_TRUE(run.Screenshot(dir + "/over.png"));
    TPicture away, over;
    ASSERT_TRUE(LoadPng(dir + "/away.png", &away));
    ASSERT_TRUE(LoadPng(dir + "/over.png", &over));
    EXPECT_GT(CountDifferingPixels(away, over, 8, 470, 300, 650, 340), 2000u);
    // The other buttons stay as they were.
    EXPECT_EQ(CountDifferingPixels(away, over, 8, 460, 422, 660, 474), 0u);

    // The other pages open over the menu and go back to it.
    struct TPage
    {
        int x, y;
        const char* layout;
        int backX, backY;
    };
    const TPage pages[] = {
        {kScoresX, kScoresY, "layouts/hiscore.lua", kScoresBackX, kScoresBackY},
        {kCreditsX, kCreditsY, "layouts/credits.lua", kCreditsBackX, kCreditsBackY},
        {kAwardsX, kAwardsY, "layouts/awards.lua", kAwardsCloseX, kAwardsCloseY},
    };
    for (const TPage& page : pages) {
        const size_t before = run.Log().size();
        run.Send(Click(page.x, page.y));
        EXPECT_TRUE(run.WaitFor(std::string("Opening ") + page.layout, 20000, before)) << run.Log();
        if (page.layout == std::string("layouts/credits.lua")) {
            // The roll reads over the backdrop's moon: dark glass lies between them.
            const TPicture credits = Shot(run, dir + "/credits.png");
            EXPECT_LT(MeanBrightness(credits, {590, 110, 650, 170}), 120.0);
        }
        run.Send("300 move " + std::to_string(page.backX) + " " + std::to_string(page.backY));
        run.Send(Click(page.backX, page.backY));
        EXPECT_TRUE(run.WaitFor(std::string("Closed ") + page.layout, 20000, before)) << run.Log();
    }

    // A close request asks first; "Keep playing" goes back to the menu.
    size_t mark = run.Log().size();
    run.Send("100 close");
    ASSERT_TRUE(run.WaitFor("Asking whether to quit", 20000, mark)) << run.Log();
    ASSERT_TRUE(run.Screenshot(dir + "/asking.png"));
    TPicture asking;
    ASSERT_TRUE(LoadPng(dir + "/asking.png", &asking));
    EXPECT_GT(CountDifferingPixels(over, asking, 8, 210, 200, 590, 400), 20000u);
    run.Send(Click(kDialogNoX, kDialogButtonY));
    EXPECT_TRUE(run.WaitFor("Quit dialog answered: quit_no", 20000, mark)) << run.Log();

    // The menu's own Quit asks as well; "Quit" ends the program.
    mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kQuitX, kQuitY, "Asking whether to quit", mark)) << run.Log();
    run.Send(Click(kDialogYesX, kDialogButtonY));
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 20000, mark)) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    EXPECT_EQ(run.Log().find("Lua error"), std::string::npos) << run.Log();
}

TEST(DemoProgram, PlayerOptionsNewGameAndOtherGamesThroughTheMenu)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    const std::string dir = run.TempDir();
    ASSERT_TRUE(run.Screenshot(dir + "/nobody.png"));

    // Play asks who is playing: a new player, renamed, then OK starts a new game.
    run.Send(Click(kPlayX, kPlayY));
    ASSERT_TRUE(run.WaitFor("Opening layouts/chooseplayer.lua")) << run.Log();
    run.Send(Click(kNewX, kPageButtonY));
    EnterName(run, "Ann");
    ASSERT_TRUE(run.WaitFor("Player created: Ann")) << run.Log();
    size_t mark = run.Log().size();
    run.Send(Click(kRenameX, kPageButtonY));
    // The field starts from the name the player has.
    EnterName(run, "a");
    ASSERT_TRUE(run.WaitFor("Player renamed: Anna", 20000, mark)) << run.Log();
    mark = run.Log().size();
    run.Send(Click(kPlayerOkX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Starting a new game", 20000, mark)) << run.Log();
    // The first scene of the scene list is what starts.
    EXPECT_TRUE(run.WaitFor("MET_BeginScene(cottage)", 20000, mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua", 20000, mark)) << run.Log();
    LeavePlayForTheMenu(run);

    // Back on the menu the player is greeted.
    ASSERT_TRUE(run.Screenshot(dir + "/greeted.png"));
    TPicture nobody, greeted;
    ASSERT_TRUE(LoadPng(dir + "/nobody.png", &nobody));
    ASSERT_TRUE(LoadPng(dir + "/greeted.png", &greeted));
    EXPECT_GT(CountDifferingPixels(nobody, greeted, 8, 100, 100, 700, 130), 200u);

    // Options: the music slider dragged to the left and stored with Done.
    mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kOptionsX, kOptionsY, "Opening layouts/options.lua", mark)) << run.Log();
    run.Send("100 move " + std::to_string(kMusicThumbX) + " " + std::to_string(kMusicThumbY));
    run.Send("50 press " + std::to_string(kMusicThumbX) + " " + std::to_string(kMusicThumbY));
    run.Send("50 move 480 199\n50 move 390 199\n50 release 390 199");
    run.Send(Click(kDoneX, kPageButtonY));

    // The other games, and back.
    run.Send(Click(kMoreGamesX, kMoreGamesY));
    ASSERT_TRUE(run.WaitFor("Opening layouts/xsell.lua", 20000, mark)) << run.Log();
    ASSERT_TRUE(run.Screenshot(dir + "/xsell.png"));
    TPicture xsell;
    ASSERT_TRUE(LoadPng(dir + "/xsell.png", &xsell));
    EXPECT_GT(CountDifferingPixels(greeted, xsell, 8, 80, 40, 720, 560), 50000u);
    // Each game, its blue link too, is written on a light card.
    EXPECT_GT(MeanBrightness(xsell, {kPageX + 300, kPageY + 136, kPageX + 460, kPageY + 146}), 180.0);
    run.Send(Click(kXSellBackX, kXSellBackY));

    QuitThroughTheDialog(run);
    EXPECT_EQ(run.Log().find("Lua error"), std::string::npos) << run.Log();
    const std::string dump = DumpPrefs(run);
    EXPECT_NE(dump.find("name = Anna\n"), std::string::npos) << dump;
    const size_t music = dump.find("musiclevel = ");
    ASSERT_NE(music, std::string::npos) << dump;
    EXPECT_LT(std::stoi(dump.substr(music + 13)), 300) << dump;
}

TEST(DemoProgram, MissingStringsAndADamagedArchiveAreReportedAndTheProgramRunsOn)
{
    TDataCopy data;
    data.Remove("strings.xml");
    {
        // Bytes in the middle of the archive (its pictures) are overwritten.
        const std::string archive = data.Dir() + "/assets/dialog.zvp";
        std::string bytes = ReadBytes(archive);
        bytes.replace(bytes.size() / 3, 256, std::string(256, '\x5a'));
        WriteBytes(archive, bytes);
    }
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    EXPECT_TRUE(run.WaitFor("Missing string for label 'windowtitle'")) << run.Log();
    // The menu still works.
    EXPECT_TRUE(ClickUntil(run, kScoresX, kScoresY, "Opening layouts/hiscore.lua", 0)) << run.Log();
    // The dialog's damaged pictures are reported when it opens; the player can still answer.
    run.Send("100 close");
    ASSERT_TRUE(run.WaitFor("Asking whether to quit")) << run.Log();
    EXPECT_TRUE(run.WaitFor("PNG decoder: ")) << run.Log();
    run.Send("300 key escape");
    EXPECT_TRUE(run.WaitFor("Quit dialog answered: quit_no")) << run.Log();
    run.Send("100 close");
    run.Send(Click(kDialogYesX, kDialogButtonY));
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
}

TEST(DemoProgram, ASyntaxErrorInALayoutIsReportedAndACloseStillEndsTheProgram)
{
    TDataCopy data;
    data.Append("layouts/mainmenu.lua", "\nlocal = = broken\n");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("mainmenu.lua:")) << run.Log();
    // Without the interface nobody can be asked: the close request stands.
    run.Send("300 close");
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    EXPECT_EQ(run.Log().find("Unhandled exception"), std::string::npos) << run.Log();
}

TEST(DemoProgram, ASyntaxErrorInTheInterfaceScriptLeavesAWindowThatCloses)
{
    TDataCopy data;
    data.Write("scripts/mainloop.lua", "return function(\n");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("did not start")) << run.Log();
    EXPECT_NE(run.Log().find("mainloop.lua"), std::string::npos) << run.Log();
    run.Send("300 close");
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
}

}  // namespace
