// A display change in play: the pictures of the scene are made again while the game window
// stands, and nothing is asked of a game that is gone. Under a window manager, a full screen
// the display refuses leaves the window centred where it stood.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"
#include "game/demo/managed_display.h"

#include "common/missing_peer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(DemoDisplay, APlayedSceneReloadsItsPicturesAfterADisplayChange)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    StartANewGameAs(run, "Ann");
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
    size_t mark = run.Log().size();
    run.Send("100 display");
    EXPECT_TRUE(run.WaitFor("tTRLTask::DoTask() OUT", 20000, mark)) << run.Log();

    LeavePlayForTheMenu(run);
    mark = run.Log().size();
    run.Send("100 display");
    ASSERT_TRUE(run.Screenshot(run.TempDir() + "/menu.png"));
    EXPECT_EQ(run.Log().find("tTRLTask::DoTask()", mark), std::string::npos) << run.Log();
    QuitThroughTheDialog(run);
}

// The options page's Full screen box.
constexpr int kFullScreenBoxX = 154, kFullScreenBoxY = 430;

TEST(DemoDisplay, ARefusedFullScreenLeavesTheWindowCentredUnderAWindowManager)
{
    TManagedDisplay desktop;
    if (!desktop.Missing().empty())
        TV_SKIP_WITHOUT_PEER(desktop.Missing());
    TDemoRun run(BuildRoot(), std::string(), {"SDL_VIDEODRIVER", "WAYLAND_DISPLAY"});
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    const std::string window = desktop.FindWindow("tessivander");
    ASSERT_FALSE(window.empty());
    const TWindowPlace before = desktop.SettledPlace(window);
    int pointerX = 0, pointerY = 0;
    desktop.Pointer(&pointerX, &pointerY);

    ASSERT_TRUE(ClickUntil(run, kOptionsX, kOptionsY, "Opening layouts/options.lua", 0)) << run.Log();
    const size_t mark = run.Log().size();
    run.Send(Click(kFullScreenBoxX, kFullScreenBoxY));
    // The manager grants the switch, then answers the way back only after the game has given
    // full screen up and gone on, as a busy desktop does.
    const bool granted = desktop.WaitForFullScreen(window, 5000);
    if (granted)
        desktop.HoldManager(true);
    const bool refused = run.WaitFor("Full screen refused", 5000, mark);
    if (granted) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        desktop.HoldManager(false);
    }
    ASSERT_TRUE(granted) << "the manager never showed the window full screen";
    ASSERT_TRUE(refused) << run.Log();
    ASSERT_TRUE(run.WaitFor("Error reported to the player: options_fullscreen_title", 20000, mark)) << run.Log();

    const TWindowPlace after = desktop.SettledPlace(window);
    EXPECT_EQ(after.width, 800);
    EXPECT_EQ(after.height, 600);
    EXPECT_NEAR(after.x + after.width / 2, TManagedDisplay::kWidth / 2, 3);
    EXPECT_NEAR(after.y + after.height / 2, TManagedDisplay::kHeight / 2, 3);
    EXPECT_NEAR(after.x, before.x, 1);
    EXPECT_NEAR(after.y, before.y, 1);
    int x = 0, y = 0;
    desktop.Pointer(&x, &y);
    EXPECT_EQ(x, pointerX) << "the pointer stays where it was";
    EXPECT_EQ(y, pointerY);
}

}  // namespace
