// What comes from outside or from a script's own calls never ends the game behind its quit
// path: a finalizer that never returns is stopped like any runaway script.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(DemoSignals, AFinalizerThatNeverReturnsIsStoppedWithinThreeSeconds)
{
    const char kFinalizerLoops[] = "do local p = newproxy(true) getmetatable(p).__gc = function() "
                                   "_ALERT('Finalizer loops') while true do end end p = nil collectgarbage() end\n";
    for (const int sig : {SIGTERM, 0}) {
        SCOPED_TRACE(sig ? "SIGTERM" : "close box");
        TDataCopy data;
        const std::string file = "scripts/mainloop.lua";
        data.Write(file, kFinalizerLoops + ReadBytes(data.Dir() + "/assets/" + file));
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Finalizer loops")) << run.Log();
        if (sig)
            run.Signal(sig);
        else
            run.Send("0 close");
        EXPECT_EQ(run.Finish(3000), 0) << run.Log();
        EXPECT_NE(run.Log().find(file + " stopped at line 1"), std::string::npos) << run.Log();
    }
}

}  // namespace
