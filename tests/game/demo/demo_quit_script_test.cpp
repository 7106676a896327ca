// The close box and the player's Quit with a quit script that does not answer "keep playing",
// or a quit dialog that cannot be shown: the request stands, is logged, and the game quits.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

namespace {

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

// A quit script that ends without answering "keep playing" (missing, not compiling, empty,
// failing at its top, returning at once, failing after the player kept playing) does not hold
// the close box, the menu's Quit or the pause screen's Quit: the request stands, is logged, and
// the game leaves through its quit path within 3 s, the game in play saved on the way.
TEST(DemoQuitScript, AQuitScriptThatDoesNotAnswerKeepPlayingQuitsFromEveryQuit)
{
    const struct
    {
        const char* what;
        const char* script;  // null: no quit script
        const char* logged;
        bool asks;
    } scripts[] = {
        {"missing", nullptr, "The quit script scripts/quitverify.lua is missing; quitting", false},
        {"does not compile", "LOGIT('Quit script runs')\nif then\n",
         "The quit script scripts/quitverify.lua did not start", false},
        {"empty", "", "ended without the answer \"keep playing\"; quitting", false},
        {"failing at its top", "error('broken at the top')\n",
         "The quit script scripts/quitverify.lua failed: scripts/quitverify.lua:1: broken at the top; quitting",
         false},
        {"returning at once", "do return end\n", "ended without the answer \"keep playing\"; quitting", false},
        {"failing after its question",
         "LOGIT('Asking whether to quit')\nlocal answer = DoModal('layouts/quitdialog.lua')\n"
         "LOGIT('Quit dialog answered: ' .. tostring(answer))\nerror('broken after the question')\n",
         "broken after the question; quitting", true},
    };
    enum ERoute { kCloseBox, kMenusQuit, kPausesQuit };
    for (const auto& s : scripts) {
        TDataCopy data;
        if (s.script)
            data.Write("scripts/quitverify.lua", s.script);
        else
            data.Remove("scripts/quitverify.lua");
        for (const ERoute route : {kCloseBox, kMenusQuit, kPausesQuit}) {
            SCOPED_TRACE(std::string(s.what) + (route == kCloseBox    ? ", the close box in play"
                                                : route == kMenusQuit ? ", the menu's Quit"
                                                                      : ", the pause screen's Quit"));
            TDemoRun run(data.Dir());
            ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
            if (route != kMenusQuit) {
                ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
                ASSERT_TRUE(run.WaitFor("SAVED GAME IN SCENE")) << run.Log();
            }
            size_t mark = run.Log().size();
            if (route == kCloseBox) {
                run.Send("100 close");
            } else if (route == kMenusQuit) {
                ASSERT_TRUE(ClickUntil(run, kQuitX, kQuitY, "Main menu closed: menu_quit", mark)) << run.Log();
            } else {
                run.Send("100 key escape");
                ASSERT_TRUE(run.WaitFor("Pause screen shown", 20000, mark)) << run.Log();
                ASSERT_TRUE(ClickUntil(run, kPauseMenuX, kPauseQuitY, "Pause screen: quit", mark)) << run.Log();
            }
            if (s.asks) {
                ASSERT_TRUE(run.WaitFor("Asking whether to quit", 20000, mark)) << run.Log();
                mark = run.Log().size();
                run.Send("300 key escape");
                ASSERT_TRUE(run.WaitFor("Quit dialog answered: quit_no", 20000, mark)) << run.Log();
            }
            EXPECT_TRUE(run.WaitFor(s.logged, 3000, mark)) << run.Log();
            EXPECT_TRUE(run.WaitFor("MET_EndSession()", 3000, mark)) << run.Log();
            EXPECT_EQ(run.Finish(3000), 0) << run.Log();
            if (route != kMenusQuit) {
                EXPECT_NE(run.Log().find("tGamestate::SaveGame(S0, U0)", mark), std::string::npos) << run.Log();
            }
        }
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
