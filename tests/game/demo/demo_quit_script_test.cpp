// The close box with a quit script that fails, before or after its question, does not compile
// or is missing: the request stands and the game quits. The failure ends the script, not the
// interface, which posts the quit.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoQuitScript, AFailingOrMissingQuitScriptStillQuits)
{
    const struct
    {
        const char* what;
        const char* script;  // null: no quit script
        const char* logged;
    } cases[] = {
        {"fails before the question", "LOGIT('Quit script runs')\nlocal t = nil\nt.x = 1\n",
         "The quit script scripts/quitverify.lua failed"},
        {"fails after the question",
         "LOGIT('Quit script runs')\nlocal answer = DoModal('layouts/quitdialog.lua')\n"
         "LOGIT('Answered ' .. tostring(answer))\nerror('after the question')\n",
         "after the question); quitting"},
        {"does not compile", "LOGIT('Quit script runs')\nif then\n", "The quit script scripts/quitverify.lua does not"},
        {"missing", nullptr, "The quit script scripts/quitverify.lua is missing; quitting"},
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
        if (std::string(c.what) == "fails after the question") {
            ASSERT_TRUE(run.WaitFor("Quit script runs")) << run.Log();
            // Escape keeps playing; the script fails after it.
            run.Send("300 key escape");
            ASSERT_TRUE(run.WaitFor("Answered quit_no")) << run.Log();
        }
        EXPECT_TRUE(run.WaitFor(c.logged)) << run.Log();
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
    }
}

}  // namespace
