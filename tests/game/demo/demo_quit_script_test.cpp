// The close box with a quit script that does not compile or is missing: the request stands, is
// logged, and the game quits.

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

}  // namespace
