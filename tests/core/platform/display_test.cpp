// Display, window, cursor and frames on the scripted host.

#include "platform_fakes.h"

#include "core/platform/platform.h"
#include "core/platform/platform_data.h"

#include <cstdlib>

namespace {

using Display = PlatformFixture;

TEST_F(Display, FirstSetDisplayCreatesTheWindowAndClearsOnce)
{
    auto data = MakeData();
    data->SetDisplay(800, 600, false);
    // The system cursor is hidden over the content before the window appears.
    ASSERT_GE(host->calls.size(), 3u);
    EXPECT_EQ(host->calls[0], "cursor off");
    EXPECT_EQ(host->calls[1], "create 800x600");
    EXPECT_EQ(host->calls[2], "mode 800x600 win");
    EXPECT_TRUE(host->Called("mode 800x600 win"));
    EXPECT_TRUE(host->Called("center"));
    EXPECT_TRUE(host->Called("raise"));
    EXPECT_TRUE(host->Called("warp"));
    EXPECT_EQ(render.calls, (std::vector<std::string>{"display 800x600 win", "clear 800x600",
                                                      "cursor __systemcursor__.png 1,1", "set 800x600", "vecdraw"}));

    host->calls.clear();
    render.calls.clear();
    data->SetDisplay(1024, 768, true);
    EXPECT_FALSE(host->Called("create 1024x768"));
    EXPECT_FALSE(host->Called("raise"));
    EXPECT_FALSE(host->Called("center"));
    EXPECT_EQ(render.calls, (std::vector<std::string>{"display 1024x768 full", "set 1024x768"}));
    EXPECT_TRUE(data->IsFullscreen());
}

TEST_F(Display, SetFullscreenWithTheCurrentModeChangesNothing)
{
    auto data = MakeData();
    data->SetDisplay(800, 600, false);
    host->calls.clear();
    EXPECT_TRUE(data->SetFullscreen(false));
    EXPECT_TRUE(host->calls.empty());
    EXPECT_EQ(gyFlip, 1080.0f);
    EXPECT_TRUE(data->SetFullscreen(true));
    EXPECT_TRUE(host->Called("mode 800x600 full"));
    unsigned w = 0, h = 0;
    bool fs = false;
    data->GetDisplay(&w, &h, &fs);
    EXPECT_EQ(w, 800u);
    EXPECT_EQ(h, 600u);
    EXPECT_TRUE(fs);
}

TEST_F(Display, ARefusedFullScreenLeavesAWindowAndSaysSo)
{
    auto data = MakeData();
    host->refuseFullscreen = true;
    data->SetDisplay(800, 600, true);
    EXPECT_FALSE(data->IsFullscreen());
    EXPECT_TRUE(host->Called("center"));
    // Asked again from the window it stayed in: nothing moves, not the window, not the pointer.
    host->calls.clear();
    EXPECT_FALSE(data->SetFullscreen(true));
    EXPECT_FALSE(host->Called("center"));
    EXPECT_FALSE(host->Called("warp"));
    bool fs = true;
    data->GetDisplay(nullptr, nullptr, &fs);
    EXPECT_FALSE(fs);
}

TEST_F(Display, EveryWindowedCallCentresTheWindowAndThePointer)
{
    auto data = MakeData();
    data->SetDisplay(800, 600, false);
    for (int i = 0; i < 2; ++i) {
        host->calls.clear();
        data->SetDisplay(800, 600, false);
        EXPECT_TRUE(host->Called("center")) << "call " << i;
        EXPECT_TRUE(host->Called("warp")) << "call " << i;
    }
}

TEST_F(Display, GraphicsFailureEndsTheProcessWithItsReport)
{
    auto data = MakeData();
    host->failStep = TPlatformHost::EGraphicsStep::kPixelFormat;
    EXPECT_EXIT(data->SetDisplay(800, 600, false), testing::ExitedWithCode(254),
                "aglGetError no pixel format in file platformdata at line 955");
}

TEST_F(Display, SystemCursorOnlyShowsOutsideTheContent)
{
    auto data = MakeData();
    host->mouseInContent = true;
    data->ShowCursor(true);
    EXPECT_TRUE(host->cursorVisible);
    data->ShowCursor(false);
    EXPECT_FALSE(host->cursorVisible);
    data->ShowCursor(true);  // still over the content: the game draws its own
    EXPECT_FALSE(host->cursorVisible);
    host->mouseInContent = false;
    data->ShowCursor(true);
    EXPECT_TRUE(host->cursorVisible);
}

TEST_F(Display, FrameRateIsLoggedOnTheFifteenthFrameAfterASecond)
{
    setenv("GANTRIMOLE_SHOWFPS", "", 1);
    auto data = MakeData();
    testing::internal::CaptureStderr();
    for (int i = 0; i < 14; ++i) {
        now += 100;
        data->LogFrameRate();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    now += 100;
    data->LogFrameRate();  // 15th frame, 1500 ms after start; 14 intervals of 100 ms
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "fps: 10.000000\n");
    testing::internal::CaptureStderr();
    for (int i = 0; i < 15; ++i) {
        now += 10;
        data->LogFrameRate();
    }
    // Not a second since the last report.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Display, NoFrameStampsWithoutTheVariable)
{
    auto data = MakeData();
    testing::internal::CaptureStderr();
    for (int i = 0; i < 40; ++i) {
        now += 100;
        data->LogFrameRate();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Display, TimerStartsAtZeroAndFollowsTheClock)
{
    auto data = MakeData();
    EXPECT_EQ(data->Timer(), 0u);
    now += 1234;
    EXPECT_EQ(data->Timer(), 1234u);
}

TEST_F(Display, ADisplayChangeRebuildsTheDisplayAndRefreshesTexturesOnce)
{
    struct Count : TTask
    {
        int* n;
        explicit Count(int* c) : n(c) {}
        bool DoTask() override
        {
            ++*n;
            return true;
        }
    };
    TPlatform platform(MakeData().release());
    int runs = 0;
    Count listener(&runs);
    platform.AdoptTextureRefreshListener(&listener);
    platform.RunTextureRefresh();
    EXPECT_EQ(runs, 0);

    TSystemEvent change;
    change.eventClass = sysev::kDisplay;
    change.kind = sysev::kDisplayConfigurationChanged;
    host->events.push_back(change);
    TEvent e;
    platform.GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kIdle);
    EXPECT_EQ(render.Count("rebuild"), 1);
    platform.RunTextureRefresh();
    platform.RunTextureRefresh();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(platform.OrphanTextureRefreshListener(&listener));
}

}  // namespace
