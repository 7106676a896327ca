// A display change in play: the pictures of the scene are made again while the game window
// stands, and nothing is asked of a game that is gone. Under a window manager, a full screen
// the display refuses leaves the window centred where it stood, and one minimised comes back
// full screen.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"
#include "game/demo/managed_display.h"

#include "common/missing_peer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
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

// The game at its main menu under a window manager, on a private display of the given size.
class DemoManagedDisplay : public testing::Test
{
protected:
    void Start(int width = TManagedDisplay::kWidth, int height = TManagedDisplay::kHeight)
    {
        mDesktop = std::make_unique<TManagedDisplay>(width, height);
        if (!mDesktop->Missing().empty())
            TV_SKIP_WITHOUT_PEER(mDesktop->Missing());
        mRun = std::make_unique<TDemoRun>(BuildRoot(), std::string(),
                                          std::vector<std::string>{"SDL_VIDEODRIVER", "WAYLAND_DISPLAY"});
        ASSERT_TRUE(mRun->Started());
        ASSERT_TRUE(mRun->WaitFor("Menu shown: layouts/mainmenu.lua")) << mRun->Log();
        mWindow = mDesktop->FindWindow("tessivander");
        ASSERT_FALSE(mWindow.empty());
    }

    std::unique_ptr<TManagedDisplay> mDesktop;
    std::unique_ptr<TDemoRun> mRun;  // ends before its display
    std::string mWindow;
};

// On a display of the game's size a new player plays full screen. Minimised and brought back,
// the game is full screen again and stays so; the same when a window manager starts under it.
TEST_F(DemoManagedDisplay, AFullScreenMinimisedAndBroughtBackIsFullScreenAgain)
{
    Start(800, 600);
    if (HasFatalFailure() || IsSkipped())
        return;
    TManagedDisplay& desktop = *mDesktop;
    const std::string& window = mWindow;
    ASSERT_TRUE(desktop.WaitForFullScreen(window, 5000));

    for (int round = 1; round <= 3; ++round) {
        if (round < 3) {
            ASSERT_TRUE(desktop.Minimise(window)) << round;
        } else {
            // The new manager may take the keyboard: the game, in full screen, then hides.
            ASSERT_TRUE(desktop.RestartManager());
            desktop.WaitForMinimised(window, 2000);
        }
        // A player takes a moment to come back.
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        desktop.Activate(window);
        EXPECT_TRUE(desktop.WaitForFullScreen(window, 5000)) << round;
        EXPECT_TRUE(desktop.StaysFullScreen(window, 2000)) << round;
    }
    ASSERT_TRUE(ClickUntil(*mRun, kOptionsX, kOptionsY, "Opening layouts/options.lua", 0)) << mRun->Log();
}

// The options page's Full screen box.
constexpr int kFullScreenBoxX = 154, kFullScreenBoxY = 430;

TEST_F(DemoManagedDisplay, ARefusedFullScreenLeavesTheWindowCentredUnderAWindowManager)
{
    Start();
    if (HasFatalFailure() || IsSkipped())
        return;
    TManagedDisplay& desktop = *mDesktop;
    TDemoRun& run = *mRun;
    const std::string& window = mWindow;
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
