// Ways the program ends that no quit signal covers: an exception that nothing catches, and a
// test-input path that is no regular file. The program ends with status 0, and what it saved
// stays whole.

#include "game/demo/demo_data.h"
#include "game/demo/demo_hops.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

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
