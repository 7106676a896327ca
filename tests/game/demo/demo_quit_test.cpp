// The player is never trapped: a signal from the system ends the game without a question, and
// a script that never returns is stopped once the player or the system asks to close.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(DemoQuit, ASignalFromTheSystemEndsTheGameWithoutAsking)
{
    for (const int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        TDemoRun run(BuildRoot());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        run.Signal(sig);
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
        EXPECT_EQ(run.Log().find("Asking whether to quit"), std::string::npos) << run.Log();
    }
}

// The interface script loops for ever in its coroutine, or a layout loops while it is read.
TEST(DemoQuit, AScriptThatNeverReturnsIsStoppedWhenAskedToClose)
{
    const struct
    {
        const char* what;
        const char* file;
        const char* text;
        int sig;  // 0: the window's close box
    } cases[] = {
        {"interface loops, SIGTERM", "scripts/mainloop.lua",
         "return function()\nLOGIT('Looping for ever')\nwhile true do end\nend\n", SIGTERM},
        {"interface loops, close box", "scripts/mainloop.lua",
         "return function()\nLOGIT('Looping for ever')\nwhile true do end\nend\n", 0},
        {"layout loops, SIGINT", "layouts/mainmenu.lua", "LOGIT('Looping for ever')\nwhile true do end\n", SIGINT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDataCopy data;
        data.Write(c.file, c.text);
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitFor("Looping for ever")) << run.Log();
        if (c.sig)
            run.Signal(c.sig);
        else
            run.Send("100 close");
        EXPECT_TRUE(run.WaitFor(std::string(c.file) + " stopped at line")) << run.Log();
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
    }
}

// An actor's script in the first scene loops for ever: when it starts, or after a wait.
TEST(DemoQuit, AnActorsScriptThatNeverReturnsIsStoppedWhenAskedToClose)
{
    const struct
    {
        const char* what;
        const char* before;  // what the script does before it loops
        int sig;             // 0: the window's close box
    } cases[] = {
        {"at its start, SIGTERM", "", SIGTERM},
        {"after a wait, close box", "coroutine.yield(RESUME.ON_DELAY, 2) ", 0},
        {"after starting its successor, SIGTERM", "self:StartProc(function() coroutine.yield(RESUME.NONE) end) ",
         SIGTERM},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDataCopy data;
        data.Append("quest/cottage/cottage.lua",
                    std::string("\ntable.insert(scene_spec.actorlist, { name = 'LOOPER', command = function(self) ") +
                        c.before + "self:SayRaw('Looping for ever', -1) while true do end end })\n");
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor("Looping for ever")) << run.Log();
        if (c.sig)
            run.Signal(c.sig);
        else
            run.Send("100 close");
        EXPECT_TRUE(run.WaitFor("cottage.lua stopped at line")) << run.Log();
        // In play the close box asks first: the game answers again.
        if (!c.sig) {
            EXPECT_TRUE(run.WaitFor("Asking whether to quit")) << run.Log();
            run.Signal(SIGTERM);
        }
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
    }
}

// The dialog's pictures live in an archive; without it the buttons show their labels only,
// and the player can still click one.
TEST(DemoQuit, TheQuitDialogCanBeAnsweredWithoutItsPictures)
{
    TDataCopy data;
    data.Remove("dialog.zvp");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    run.Send("100 close");
    ASSERT_TRUE(run.WaitFor("Asking whether to quit")) << run.Log();
    ASSERT_TRUE(run.Screenshot(ArtifactDir() + "/pictureless_dialog.png"));
    // Where the label "Quit" shows (see the screenshot).
    run.Send("50 move 271 374\n50 press 271 374\n50 release 271 374");
    EXPECT_TRUE(run.WaitFor("Quit dialog answered: quit_yes")) << run.Log();
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
}

}  // namespace
