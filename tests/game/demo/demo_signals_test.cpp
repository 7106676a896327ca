// What comes from outside or from a script's own calls never ends the game behind its quit
// path: a finalizer that never returns is stopped like any runaway script, SIGPIPE and a log
// whose reader went away leave play and its saves going on, and os.exit quits the game.

#include "game/demo/demo_data.h"
#include "game/demo/demo_hops.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

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

// A script held in one library call, where no script stop reaches (a pattern that backtracks
// for ever): the signal still ends the game within three seconds, with status 0.
TEST(DemoSignals, AScriptHeldInOneLongCallStillEndsWithinThreeSecondsOfTheSignal)
{
    const char kHeld[] = "_ALERT('Held in one call') string.find(string.rep('a', 60), string.rep('a-', 14) .. 'b')\n";
    TDataCopy data;
    const std::string file = "scripts/mainloop.lua";
    data.Write(file, kHeld + ReadBytes(data.Dir() + "/assets/" + file));
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Held in one call")) << run.Log();
    run.Signal(SIGTERM);
    EXPECT_EQ(run.Finish(3000), 0) << run.Log();
    EXPECT_NE(run.Log().find("did not take the quit signal in time"), std::string::npos) << run.Log();
}

// Once the game has logged `armedAt`, its next save syncs a temporary file for longer than
// the quit signal's deadline (2.5 s), and SIGTERM comes as that sync begins.
std::vector<std::string> SlowSaveWithSignal(const std::string& armedAt)
{
    return {"LD_PRELOAD=" + BuildRoot() + "/tests/libtv_fault_preload.so", "TV_FAULT_ARM_AT=" + armedAt,
            "TV_FAULT_SLOW_SYNC_MS=4000", "TV_FAULT_SIGNAL=" + std::to_string(SIGTERM)};
}

// The save the signal met finishes before the game ends: a new player's, and the last one of
// the player's quit already under way. Nothing is left half saved.
TEST(DemoSignals, ASignalDuringASlowSaveLetsTheSaveFinish)
{
    for (const char* armedAt : {"Asking for a name", "Quit dialog answered"}) {
        SCOPED_TRACE(armedAt);
        TDataCopy data;
        TDemoRun run(data.Dir(), std::string(), {}, std::string(), SlowSaveWithSignal(armedAt));
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        if (std::string(armedAt) == "Asking for a name") {
            ASSERT_TRUE(ClickUntil(run, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", 0)) << run.Log();
            run.Send(Click(kNewX, kPageButtonY));
            EnterName(run, "Ann");
            EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
            EXPECT_EQ(run.Finish(), 0) << run.Log();
        } else {
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
            ASSERT_TRUE(run.WaitFor("SAVED GAME IN SCENE")) << run.Log();
            QuitThroughTheDialog(run);
        }
        EXPECT_NE(run.Log().find("Fault: a signal as a save's sync begins"), std::string::npos) << run.Log();
        EXPECT_EQ(run.Log().find("did not take the quit signal in time"), std::string::npos) << run.Log();
        for (const auto& entry : std::filesystem::directory_iterator(run.Home() + "/share/tessivander"))
            EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos) << entry.path();
        const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
        EXPECT_TRUE(slot.whole) << DumpPrefs(run);
        EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann") << DumpPrefs(run);
    }
}

// The highest hop in the log.
int LastHop(const std::string& log)
{
    int n = 0;
    while (log.find(HopLine(n + 1)) != std::string::npos)
        ++n;
    return n;
}

// Hoppers save the game every few frames: after the signal, or once nobody reads the log, play
// and its saves go on until the quit.
TEST(DemoSignals, SigpipeAndALogWithoutReaderLeavePlayAndItsSavesGoingOn)
{
    for (const bool closeLog : {false, true}) {
        SCOPED_TRACE(closeLog ? "log reader gone" : "SIGPIPE");
        TDataCopy data;
        AddHoppers(data, 3);
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor(HopLine(1))) << run.Log();
        if (closeLog) {
            const int seen = LastHop(run.Log());
            run.CloseLog();
            std::this_thread::sleep_for(std::chrono::seconds(3));
            run.Signal(SIGTERM);
            EXPECT_EQ(run.Finish(), 0);
            EXPECT_GT(ReadHopSave(ReadDumpedSlot(DumpPrefs(run), 0)).hops, seen + 1) << DumpPrefs(run);
        } else {
            run.Signal(SIGPIPE);
            const size_t mark = run.Log().size();
            const int seen = LastHop(run.Log());
            EXPECT_TRUE(run.WaitFor(HopLine(seen + 2), 20000, mark)) << run.Log();
            EXPECT_TRUE(run.WaitFor("SAVED GAME IN SCENE", 20000, run.Log().find(HopLine(seen + 2)))) << run.Log();
            run.Signal(SIGTERM);
            EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 20000, mark)) << run.Log();
            EXPECT_EQ(run.Finish(), 0) << run.Log();
        }
    }
}

TEST(DemoSignals, OsExitInAScriptEndsTheGameThroughItsQuitPath)
{
    TDataCopy data;
    data.Append("quest/cottage/cottage.lua", "\ntable.insert(scene_spec.actorlist, { name = 'QUITTER', command = "
                                             "function(self) coroutine.yield(RESUME.ON_DELAY, 2) os.exit(3) end })\n");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("A script ends the game: ")) << run.Log();
    const size_t asked = run.Log().find("A script ends the game: ");
    EXPECT_NE(run.Log().find("cottage.lua", asked), std::string::npos) << run.Log();
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!", 20000, asked)) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    EXPECT_NE(run.Log().find("MET_EndSession()", asked), std::string::npos) << run.Log();
}

}  // namespace
