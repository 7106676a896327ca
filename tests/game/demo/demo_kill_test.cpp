// The program killed (SIGKILL) at random moments while it plays and saves, round after round
// on one player's folder: every restart finds a save that reads whole, at worst the one
// before the kill, and continues the game from it. The moments come from a seeded generator
// (TV_KILL_SEED replays a run).

#include "game/demo/demo_hops.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 20;

// What one round's log says of the hops: the last whose save was written (-1: none), and the
// last that began (its save may or may not have reached the disk).
struct THopsLogged
{
    int saved = -1;
    int begun = -1;
};

THopsLogged HopsInLog(const std::string& log)
{
    THopsLogged logged;
    int pending = -1;
    size_t at = 0;
    for (;;) {
        const size_t hop = log.find("MET_TaskEvent(scripted-task, hop ", at);
        const size_t saved = log.find("SAVED GAME IN SCENE", at);
        if (hop == std::string::npos && saved == std::string::npos)
            return logged;
        if (hop < saved) {
            pending = std::atoi(log.c_str() + hop + 33);
            logged.begun = pending;
            at = hop + 1;
        } else {
            if (pending >= 0)
                logged.saved = pending;
            pending = -1;
            at = saved + 1;
        }
    }
}

uint32_t Seed()
{
    const char* text = std::getenv("TV_KILL_SEED");
    return text && *text ? uint32_t(std::strtoul(text, nullptr, 10)) : 31u;
}

TEST(DemoKill, EveryRestartFindsAReadableSaveAndGoesOn)
{
    const uint32_t seed = Seed();
    std::printf("Kill moments from seed %u (TV_KILL_SEED replays them)\n", seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);

    TDataCopy data;
    ASSERT_FALSE(data.Dir().empty());
    AddHoppers(data, 3);
    const std::string home = data.Dir() + "/home";
    const std::string folder = home + "/share/tessivander";

    int known = 0;  // the hops of the save found after the previous round
    std::string knownScene = kHopScenes[0];
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.Started());
        // Every fifth round dies while the program starts (it writes the current player).
        const bool duringStart = round % 5 == 4;
        if (duringStart) {
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
        } else {
            ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
            const size_t mark = run.Log().size();
            if (round == 0) {
                ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
            } else {
                ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", mark)) << run.Log();
            }
            ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua", 20000, mark)) << run.Log();
            // The game goes on from the save the previous round left.
            EXPECT_NE(run.Log().find("MET_BeginScene(" + knownScene + ")", mark), std::string::npos) << run.Log();
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 1000));
        }
        run.Signal(SIGKILL);
        run.Finish();
        const THopsLogged logged = HopsInLog(run.Log());
        EXPECT_EQ(run.Log().find("Unhandled exception"), std::string::npos) << run.Log();

        const std::string dump = DumpPrefs(run);
        const TDumpedSlot slot = ReadDumpedSlot(dump, 0);
        ASSERT_TRUE(slot.whole) << dump;
        const THopSave save = ReadHopSave(slot);
        ASSERT_TRUE(save.present) << dump;
        EXPECT_GE(save.hops, std::max(known, logged.saved)) << dump << run.Log();
        EXPECT_LE(save.hops, std::max(known, logged.begun)) << dump << run.Log();
        // One save, not parts of two.
        EXPECT_EQ(save.scene, kHopScenes[save.hops % 4]) << dump;
        if (save.hops > 0) {
            EXPECT_EQ(save.lastScene, kHopScenes[(save.hops + 3) % 4]) << dump;
            EXPECT_EQ(save.questHops, std::to_string(save.hops)) << dump;
        }
        EXPECT_EQ(slot.values.count("name"), 1u) << dump;
        known = save.hops;
        knownScene = save.scene;
    }
    std::printf("%d scene changes saved over %d rounds\n", known, kRounds);
    EXPECT_GE(known, kRounds / 2) << "the rounds played too little to have been killed while saving";

    // A last start plays on and ends cleanly.
    TDemoRun run(data.Dir(), home);
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", 0)) << run.Log();
    ASSERT_TRUE(run.WaitFor("MET_BeginScene(" + knownScene + ")")) << run.Log();
    ASSERT_TRUE(run.WaitFor(HopLine(known + 1))) << run.Log();
    const size_t hop = run.Log().find(HopLine(known + 1));
    ASSERT_TRUE(run.WaitFor("SAVED GAME IN SCENE", 20000, hop)) << run.Log();
    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();

    // A kill in the middle of a save leaves its staged file; the next start clears it away.
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

}  // namespace
