// Ways the program ends that no quit signal covers: the X display going away, an exception that
// nothing catches, and a test-input path that is no regular file. The program ends with status
// 0, and what it saved stays whole.

#include "common/missing_peer.h"
#include "game/demo/demo_data.h"
#include "game/demo/demo_hops.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"
#include "game/demo/private_display.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The game on the display instead of off screen.
std::unique_ptr<TDemoRun> RunOnDisplay(const std::string& resources, const std::string& display)
{
    const char* old = std::getenv("DISPLAY");
    const std::string kept = old ? old : "";
    setenv("DISPLAY", display.c_str(), 1);
    auto run = std::make_unique<TDemoRun>(resources, std::string(), std::vector<std::string>{"SDL_VIDEODRIVER"});
    if (old)
        setenv("DISPLAY", kept.c_str(), 1);
    else
        unsetenv("DISPLAY");
    return run;
}

// The X server killed under the game, in the menu, in play and on the pause screen: the loss is
// logged, the game's quit path runs, the saved game stays whole and the program returns 0.
TEST(DemoEnds, TheDisplayGoingAwayEndsTheGameThroughItsQuitPath)
{
    enum EWhere
    {
        kMenu,
        kPlay,
        kPause
    };
    for (const EWhere where : {kMenu, kPlay, kPause}) {
        SCOPED_TRACE(where == kMenu ? "menu" : where == kPlay ? "play" : "pause screen");
        TPrivateDisplay display;
        if (display.Name().empty())
            TV_SKIP_WITHOUT_PEER("Xvfb did not start (is it installed?): there is no display to take away");
        TDataCopy data;
        std::unique_ptr<TDemoRun> run = RunOnDisplay(data.Dir(), display.Name());
        ASSERT_TRUE(run->WaitFor("Menu shown: layouts/mainmenu.lua")) << run->Log();
        if (where != kMenu) {
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(*run, "Ann"));
            ASSERT_TRUE(run->WaitFor("SAVED GAME IN SCENE")) << run->Log();
        }
        if (where == kPause) {
            run->Send("100 key escape");
            ASSERT_TRUE(run->WaitFor("Pause screen shown")) << run->Log();
        }
        const size_t mark = run->Log().size();
        display.Kill();
        EXPECT_TRUE(run->WaitFor("The display went away: the game ends without it.", 20000, mark)) << run->Log();
        EXPECT_TRUE(run->WaitFor("QUITTING THE APP!", 20000, mark)) << run->Log();
        EXPECT_EQ(run->Finish(), 0) << run->Log();
        EXPECT_NE(run->Log().find("MET_EndSession()", mark), std::string::npos) << run->Log();
        if (where != kMenu) {
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
