#include "game/demo/demo_steps.h"

#include "common/command_output.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

std::string ArtifactDir()
{
    const std::string dir = BuildRoot() + "/tests/artifacts";
    fs::create_directories(dir);
    return dir;
}

TPicture Shot(TDemoRun& run, const std::string& path)
{
    TPicture picture;
    EXPECT_TRUE(run.Screenshot(path)) << run.Log();
    EXPECT_TRUE(LoadPng(path, &picture)) << path;
    return picture;
}

TPicture ArrivedShot(TDemoRun& run, const std::string& path, const TBox& walk)
{
    TPicture before = Shot(run, path);
    bool moved = false;
    int still = 0;
    for (int i = 0; i < 60 && still < 2; ++i) {
        TPicture now = Shot(run, path);
        const bool same = CountDifferingPixels(before, now, 2, walk.left, walk.top, walk.right, walk.bottom) == 0;
        moved = moved || !same;
        still = moved && same ? still + 1 : 0;
        before = std::move(now);
    }
    EXPECT_EQ(still, 2) << (moved ? "still walking in " : "nobody walked in ") << path;
    return before;
}

void ExpectLikeReference(const TPicture& shot, const std::string& shotPath, const std::string& reference,
                         const std::vector<TBox>& ignored)
{
    TPicture stored;
    const std::string path = std::string(TV_TEST_SOURCE_DIR) + "/tests/game/demo/data/" + reference;
    ASSERT_TRUE(LoadPng(path, &stored)) << path;
    ASSERT_EQ(shot.width, stored.width);
    ASSERT_EQ(shot.height, stored.height);
    EXPECT_LE(CountDifferingPixelsOutside(shot, stored, 2, ignored), size_t(shot.width) * size_t(shot.height) / 200)
        << "compare " << shotPath << " with " << path;
}

std::string Click(int x, int y)
{
    // The press waits a moment after the move, as a hand does: a screen just shown takes no
    // press in its first frames, which a slow (sanitized) build stretches past 100 ms.
    return "50 move " + std::to_string(x) + " " + std::to_string(y) + "\n250 press " + std::to_string(x) + " " +
           std::to_string(y) + "\n50 release " + std::to_string(x) + " " + std::to_string(y);
}

void EnterName(TDemoRun& run, const std::string& name)
{
    ASSERT_TRUE(run.WaitFor("Asking for a name", 20000, run.Log().size() - std::min<size_t>(run.Log().size(), 200)))
        << run.Log();
    run.Send("100 text " + name);
    run.Send(Click(kNameOkX, kNameOkY));
}

bool ClickUntil(TDemoRun& run, int x, int y, const std::string& expected, size_t from)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        run.Send(Click(x, y));
        if (run.WaitFor(expected, 4000, from))
            return true;
    }
    return false;
}

void StartANewGameAs(TDemoRun& run, const std::string& name)
{
    const size_t mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", mark)) << run.Log();
    run.Send(Click(kNewX, kPageButtonY));
    EnterName(run, name);
    ASSERT_TRUE(run.WaitFor("Player created: " + name, 20000, mark)) << run.Log();
    run.Send(Click(kPlayerOkX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Starting a new game", 20000, mark)) << run.Log();
}

void LeavePlayForTheMenu(TDemoRun& run)
{
    const size_t mark = run.Log().size();
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Pause screen shown", 20000, mark)) << run.Log();
    // The panel slides in; a click before it rests may miss the button.
    run.Send("400 move " + std::to_string(kPauseMenuX) + " " + std::to_string(kPauseMenuY));
    ASSERT_TRUE(ClickUntil(run, kPauseMenuX, kPauseMenuY, "Pause screen: main menu", mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("Play ended", 20000, mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua", 20000, mark)) << run.Log();
}

void CloseAwardNotice(TDemoRun& run, size_t from, const std::string& shotPath)
{
    ASSERT_TRUE(run.WaitFor("tSFXManager::Play(audio/sfx/award.ogg", 20000, from)) << run.Log().substr(from);
    const size_t played = run.Log().find("tSFXManager::Play(audio/sfx/award.ogg", from);
    ASSERT_TRUE(run.WaitFor("DEFERRED POPUP (icons/award.png, Award earned: ", 20000, played))
        << run.Log().substr(played);
    const size_t shown = run.Log().find("DEFERRED POPUP (icons/award.png", played);
    ArrivedShot(run, shotPath, kPopup);
    run.Send("100 move " + std::to_string(kPopupOkX) + " " + std::to_string(kPopupOkY));
    run.Send(Click(kPopupOkX, kPopupOkY));
    ASSERT_TRUE(run.WaitFor("PAUSE:::::::::::::::::: EXITED", 20000, shown)) << run.Log().substr(shown);
}

void QuitThroughTheDialog(TDemoRun& run)
{
    const size_t before = run.Log().size();
    run.Send("100 close");
    ASSERT_TRUE(run.WaitFor("Asking whether to quit", 20000, before)) << run.Log();
    run.Send(Click(kDialogYesX, kDialogButtonY));
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 20000, before)) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    EXPECT_EQ(run.Log().find("Unhandled exception"), std::string::npos) << run.Log();
    // The game's own main function ran: its metrics session opened at start and closed at quit.
    const size_t begun = run.Log().find("MET_BeginSession()\n");
    EXPECT_NE(begun, std::string::npos) << run.Log();
    const size_t ended = run.Log().find("MET_EndSession()\n", before);
    EXPECT_NE(ended, std::string::npos) << run.Log();
    EXPECT_GT(ended, begun) << run.Log();
}

std::string DumpPrefs(const TDemoRun& run)
{
    return CommandOutput(BuildRoot() + "/tools/prefsdump/prefsdump " + run.Home() +
                         "/share/tessivander/prefs.dat 2>&1");
}
