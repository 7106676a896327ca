#include "game/world/clock/pause.h"
#include "game/world/clock/pause_lua.h"

#include "../lua_run.h"

#include "common/log_capture.h"
#include "core/time/time_source.h"
#include "game/world/common/game_clock.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/sound/vox_completion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

uint32_t gNow = 0;
std::vector<bool> gReports;

TEST(Pause, GameClockStandsStillWhilePaused)
{
    SetTimeSource([] { return gNow; });
    SetPauseReport([](bool paused) { gReports.push_back(paused); });
    EXPECT_FALSE(IsPaused());
    StartGameClock();
    gNow += 100;
    const uint32_t running = GameClockTime();
    EXPECT_EQ(running, 100u);

    // A line timed from its text waits on the game clock, so a pause holds it back too.
    g_SFXManager.PlayVox("nobody", "");  // 3 s
    TLogCapture log;
    EnterPause();
    EnterPause();  // does not nest
    EXPECT_TRUE(IsPaused());
    gNow += 5000;
    EXPECT_EQ(GameClockTime(), running);
    EXPECT_FALSE(g_SFXManager.IsVoxMostlyDone());
    ExitPause();
    EXPECT_FALSE(IsPaused());
    gNow += 50;
    EXPECT_EQ(GameClockTime(), running + 50);
    EXPECT_FALSE(g_SFXManager.IsVoxMostlyDone());
    gNow += 2951;
    EXPECT_TRUE(g_SFXManager.IsVoxMostlyDone());

    const std::string text = log.Text();
    EXPECT_NE(text.find("PAUSE:::::::::::::::::: ENTERED\nPauseAllSounds()"), std::string::npos) << text;
    EXPECT_NE(text.find("PAUSE:::::::::::::::::: EXITED\nUnpauseAllSounds()"), std::string::npos) << text;
    EXPECT_EQ(gReports, (std::vector<bool>{true, true, false}));
    SetPauseReport(nullptr);
    SetTimeSource(nullptr);
}

TEST(Pause, ScriptsDriveThePause)
{
    lua_State* L = lua_open();
    BindPauseFunctions(L);
    RunLua(L, "a = IsPaused() and 'yes' or 'no' EnterPause() b = IsPaused() and 'yes' or 'no' ExitPause() "
              "c = IsPaused() and 'yes' or 'no'");
    EXPECT_EQ(LuaGlobal(L, "a"), "no");
    EXPECT_EQ(LuaGlobal(L, "b"), "yes");
    EXPECT_EQ(LuaGlobal(L, "c"), "no");
    EXPECT_FALSE(IsPaused());
    lua_close(L);
}

}  // namespace
