// Ways the program ends that no quit signal covers: no display at start, the X display going
// away, an exception that nothing catches, and a test-input path that is no regular file. The
// program ends with status 0, and what it saved stays whole.

#include "common/missing_peer.h"
#include "game/demo/demo_data.h"
#include "game/demo/demo_hops.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"
#include "game/demo/private_display.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The game on the display instead of off screen, with the environment values `set` besides.
std::unique_ptr<TDemoRun> RunOnDisplay(const std::string& resources, const std::string& display,
                                       std::vector<std::string> set = {})
{
    set.push_back("DISPLAY=" + display);
    return std::make_unique<TDemoRun>(resources, std::string(), std::vector<std::string>{"SDL_VIDEODRIVER"},
                                      std::string(), set);
}

// With nothing to show the game on, SDL would draw it off screen: the program says so and ends
// before anything of the game starts, so nothing runs unseen and the player's folder is free.
TEST(DemoEnds, AStartWithNoDisplaySaysSoAndEnds)
{
    for (const std::string display : {"", ":65000"}) {
        SCOPED_TRACE("DISPLAY=" + display);
        TDataCopy data;
        std::vector<std::string> unset = {"SDL_VIDEODRIVER", "WAYLAND_DISPLAY"}, set;
        if (display.empty())
            unset.push_back("DISPLAY");
        else
            set.push_back("DISPLAY=" + display);
        TDemoRun run(data.Dir(), std::string(), unset, std::string(), set);
        EXPECT_TRUE(run.WaitFor("The game cannot start: there is no display to show it on", 10000)) << run.Log();
        EXPECT_NE(run.Finish(5000), -1) << run.Log();
        EXPECT_FALSE(std::filesystem::exists(run.Home() + "/share/tessivander")) << run.Log();
    }
}

// The X server killed once the game's window is made, before its GL context: no context is made
// on the lost display, and the game ends through its quit path.
TEST(DemoEnds, TheDisplayGoingAwayAsTheWindowIsMadeEndsTheGameThroughItsQuitPath)
{
    TPrivateDisplay display;
    if (display.Name().empty())
        TV_SKIP_WITHOUT_PEER("Xvfb did not start (is it installed?): there is no display to take away");
    TDataCopy data;
    std::unique_ptr<TDemoRun> run =
        RunOnDisplay(data.Dir(), display.Name(),
                     {"LD_PRELOAD=" + BuildRoot() + "/tests/libtv_fault_preload.so",
                      "TV_FAULT_KILL_PID=" + std::to_string(display.Pid())});
    EXPECT_TRUE(run->WaitFor("The display went away: the game ends without it.")) << run->Log();
    EXPECT_TRUE(run->WaitFor("QUITTING THE APP!")) << run->Log();
    EXPECT_EQ(run->Finish(), 0) << run->Log();
    EXPECT_NE(run->Log().find("MET_EndSession()"), std::string::npos) << run->Log();
}

// The X server killed under the game, in the menu, in play, on the pause screen and together
// with a quit signal: the loss is logged, the game's quit path runs, the saved game stays whole,
// the lost display is not asked to close anything and the program returns 0.
TEST(DemoEnds, TheDisplayGoingAwayEndsTheGameThroughItsQuitPath)
{
    enum EWhere
    {
        kMenu,
        kPlay,
        kPause,
        kSignalled
    };
    for (const EWhere where : {kMenu, kPlay, kPause, kSignalled}) {
        SCOPED_TRACE(where == kMenu ? "menu" : where == kPlay ? "play" : where == kPause ? "pause screen" : "signal");
        TPrivateDisplay display;
        if (display.Name().empty())
            TV_SKIP_WITHOUT_PEER("Xvfb did not start (is it installed?): there is no display to take away");
        TDataCopy data;
        std::unique_ptr<TDemoRun> run = RunOnDisplay(data.Dir(), display.Name());
        ASSERT_TRUE(run->WaitFor("Menu shown: layouts/mainmenu.lua")) << run->Log();
        if (where != kMenu && where != kSignalled) {
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(*run, "Ann"));
            ASSERT_TRUE(run->WaitFor("SAVED GAME IN SCENE")) << run->Log();
        }
        if (where == kPause) {
            run->Send("100 key escape");
            ASSERT_TRUE(run->WaitFor("Pause screen shown")) << run->Log();
        }
        const size_t mark = run->Log().size();
        if (where == kSignalled)
            run->Signal(SIGTERM);
        display.Kill();
        EXPECT_TRUE(run->WaitFor(where == kSignalled ? "A signal from the system ends the game."
                                                     : "The display went away: the game ends without it.",
                                 20000, mark))
            << run->Log();
        EXPECT_TRUE(run->WaitFor("QUITTING THE APP!", 20000, mark)) << run->Log();
        EXPECT_EQ(run->Finish(), 0) << run->Log();
        EXPECT_NE(run->Log().find("MET_EndSession()", mark), std::string::npos) << run->Log();
        EXPECT_EQ(run->Log().find("The game ends", mark), std::string::npos) << run->Log();
        if (where != kMenu && where != kSignalled) {
            const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(*run), 0);
            EXPECT_TRUE(slot.whole) << DumpPrefs(*run);
            EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann") << DumpPrefs(*run);
        }
    }
}

TEST(DemoEnds, AnExceptionFromTheMainLoopEndsTheGameWithoutAnAbort)
{
    for (const bool playing : {false, true}) {
        SCOPED_TRACE(playing ? "in play" : "in the menu");
        TDataCopy data;
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        if (playing) {
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
            ASSERT_TRUE(run.WaitFor("SAVED GAME IN SCENE")) << run.Log();
        }
        run.Send("0 throw a fault nothing catches");
        EXPECT_TRUE(run.WaitFor("Unhandled exception\n")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
        EXPECT_NE(run.Log().find("a fault nothing catches"), std::string::npos) << run.Log();
        if (playing) {
            const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
            EXPECT_TRUE(slot.whole) << DumpPrefs(run);
            EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann") << DumpPrefs(run);
        }
    }
}

// The test input is read only from a regular file: anything else is refused with a word in the
// log, and the program still answers SIGTERM at once.
TEST(DemoEnds, ATestInputThatIsNoRegularFileIsRefused)
{
    struct TCase
    {
        const char* what;
        std::function<bool(const std::string&)> make;
    };
    const TCase cases[] = {
        {"a folder", [](const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }},
        {"a pipe", [](const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; }},
        {"an endless device", [](const std::string& path) { return symlink("/dev/zero", path.c_str()) == 0; }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TDataCopy data;
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        // The program looks at its input path anew at every poll.
        const std::string input = run.TempDir() + "/input.txt";
        ASSERT_EQ(unlink(input.c_str()), 0);
        ASSERT_TRUE(c.make(input));
        EXPECT_TRUE(run.WaitFor("is not a regular file; no input is replayed from it")) << run.Log();
        run.Signal(SIGTERM);
        EXPECT_EQ(run.Finish(3000), 0) << run.Log();
        EXPECT_NE(run.Log().find("QUITTING THE APP!"), std::string::npos) << run.Log();
    }
}

}  // namespace
