// The close box with a quit script that does not compile, is missing or fails as it runs, or a
// quit dialog that cannot be shown: the request stands, is logged, and the game quits.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoQuitScript, ABrokenOrMissingQuitScriptStillQuits)
{
    const struct
    {
        const char* what;
        const char* script;  // null: no quit script
        const char* logged;
    } cases[] = {
        {"does not compile", "LOGIT('Quit script runs')\nif then\n",
         "The quit script scripts/quitverify.lua did not start"},
        {"missing", nullptr, "The quit script scripts/quitverify.lua is missing; quitting"},
        {"fails before its question", "LOGIT('Quit script runs')\nerror('broken before the question')\n",
         "The quit script scripts/quitverify.lua failed: scripts/quitverify.lua:2: broken before the question"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDataCopy data;
        if (c.script)
            data.Write("scripts/quitverify.lua", c.script);
        else
            data.Remove("scripts/quitverify.lua");
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        run.Send("100 close");
        EXPECT_TRUE(run.WaitFor(c.logged)) << run.Log();
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
    }
}

TEST(DemoQuitScript, AQuitScriptThatFailsAfterItsQuestionStillQuits)
{
    TDataCopy data;
    data.Write("scripts/quitverify.lua",
               "LOGIT('Asking whether to quit')\n"
               "local answer = DoModal('layouts/quitdialog.lua')\n"
               "LOGIT('Quit dialog answered: ' .. tostring(answer))\n"
               "error('broken after the question')\n");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    run.Send("100 close");
    ASSERT_TRUE(run.WaitFor("Asking whether to quit")) << run.Log();
    run.Send("50 move 271 374\n50 press 271 374\n50 release 271 374");
    EXPECT_TRUE(run.WaitFor("Quit dialog answered: quit_yes")) << run.Log();
    EXPECT_TRUE(run.WaitFor("broken after the question; quitting")) << run.Log();
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
}

// The pause screen's Quit with a quit script that is missing or does not compile: the player's
// Quit stands.
TEST(DemoQuitScript, ThePauseScreensQuitWithoutItsQuestionStillQuits)
{
    for (const char* script : {static_cast<const char*>(nullptr), "if then\n"}) {
        SCOPED_TRACE(script ? "does not compile" : "missing");
        TDataCopy data;
        if (script)
            data.Write("scripts/quitverify.lua", script);
        else
            data.Remove("scripts/quitverify.lua");
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor("SAVED GAME IN SCENE")) << run.Log();
        run.Send("100 key escape");
        ASSERT_TRUE(run.WaitFor("Pause screen shown")) << run.Log();
        ASSERT_TRUE(ClickUntil(run, 400, 394, "Pause screen: quit", run.Log().size())) << run.Log();
        EXPECT_TRUE(run.WaitFor("The quit question cannot be asked; quitting")) << run.Log();
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 3000)) << run.Log();
        EXPECT_EQ(run.Finish(3000), 0) << run.Log();
    }
}

// The question's layout fails: no answer is no "keep playing", so the close box and the menu's
// Quit both leave, the error shown on the way standing in nobody's way.
TEST(DemoQuitScript, AQuitDialogThatCannotBeShownStillQuits)
{
    TDataCopy data;
    data.Write("layouts/quitdialog.lua", "error('broken quit dialog')\n");
    for (const bool fromTheMenu : {false, true}) {
        SCOPED_TRACE(fromTheMenu ? "the menu's Quit" : "the close box");
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        const size_t mark = run.Log().size();
        if (fromTheMenu)
            ASSERT_TRUE(ClickUntil(run, kQuitX, kQuitY, "Main menu closed: menu_quit", mark)) << run.Log();
        else
            run.Send("100 close");
        ASSERT_TRUE(run.WaitFor("broken quit dialog", 3000, mark)) << run.Log();
        EXPECT_TRUE(run.WaitFor("Quit dialog answered: nil", 3000, mark)) << run.Log();
        EXPECT_TRUE(run.WaitFor("MET_EndSession()", 3000, mark)) << run.Log();
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 3000, mark)) << run.Log();
        EXPECT_EQ(run.Finish(3000), 0) << run.Log();
    }
}

}  // namespace
