// Scripts that run away: one that takes memory without end is stopped at its state's bound with
// an error naming its file, and the game goes on; while one holds the main thread with heavy
// calls, a signal or the close box is still answered within 3 s.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

namespace {

const char kTakesMemory[] =
    "_ALERT('Running away') local t = {} while true do t[table.getn(t) + 1] = string.rep('x', 1048576) .. "
    "table.getn(t) end\n";
// _ALERT logs the mark. Each call builds a large string that is garbage at once: memory stays flat, and a few
// thousand instructions take many seconds.
const char kHoldsWithHeavyCalls[] = "_ALERT('Running away') while true do local s = string.rep('x', 4194304) .. 'y' end\n";

// A scene script (run as the first scene loads) and an interface script (run as play shows).
const char* const kScripts[] = {"quest/cottage/cottage.lua", "interface/hud_glitter.lua"};

TEST(DemoRunawayScript, AScriptPastItsMemoryBoundIsStoppedNamingItsFileAndTheGameGoesOn)
{
    const struct
    {
        const char* file;
        const char* goesOn;  // logged after the stop
    } cases[] = {
        // The scene does not load: the player is told and is back on the menu.
        {kScripts[0], "Error reported to the player"},
        // Play goes on without the glitter.
        {kScripts[1], "Game shown: layouts/game.lua"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TDataCopy data;
        data.Write(c.file, kTakesMemory + ReadBytes(data.Dir() + "/assets/" + c.file));
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        const std::string stopped = std::string(c.file) + " stopped at line 1: its memory passed the limit of 64 MB";
        ASSERT_TRUE(run.WaitFor(stopped)) << run.Log();
        EXPECT_TRUE(run.WaitFor(c.goesOn, 20000, run.Log().find(stopped))) << run.Log();
        QuitThroughTheDialog(run);
    }
}

TEST(DemoRunawayScript, ASignalOrTheCloseBoxIsAnsweredWithinThreeSecondsWhateverAScriptDoes)
{
    for (const char* file : kScripts) {
        for (const int sig : {SIGTERM, 0}) {
            SCOPED_TRACE(std::string(file) + (sig ? ", SIGTERM" : ", close box"));
            TDataCopy data;
            data.Write(file, kHoldsWithHeavyCalls + ReadBytes(data.Dir() + "/assets/" + file));
            TDemoRun run(data.Dir());
            ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
            ASSERT_TRUE(run.WaitFor("Running away")) << run.Log();
            const size_t mark = run.Log().size();
            const auto asked = std::chrono::steady_clock::now();
            if (sig) {
                run.Signal(sig);
            } else {
                // In play the close box asks first.
                run.Send("0 close");
                EXPECT_TRUE(run.WaitFor("Asking whether to quit", 3000, mark)) << run.Log();
                EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(3));
                run.Send(Click(kDialogYesX, kDialogButtonY));
            }
            EXPECT_EQ(run.Finish(sig ? 3000 : 20000), 0) << run.Log();
            EXPECT_NE(run.Log().find(std::string(file) + " stopped at line 1", mark), std::string::npos) << run.Log();
        }
    }
}

}  // namespace
