// When a script that holds the main thread is stopped: only after the hold limit, only while
// a close request waits, and the request is looked for at a low rate.
#include "platform/sdl/close_watch.h"

#include <gtest/gtest.h>

namespace {

TEST(CloseWatch, StopsAHoldOnlyPastTheLimitWhileARequestWaits)
{
    const uint32_t limit = TCloseWatch::kHoldLimitMs;
    struct Case
    {
        const char* what;
        uint32_t turnAt;  // the main loop's last turn
        uint32_t askAt;   // the hook asks
        bool pending;
        bool stop;
    };
    const Case cases[] = {
        {"just under the limit", 0, limit - 1, true, false},
        {"at the limit", 0, limit, true, true},
        {"long hold, nobody asks", 0, 10 * limit, false, false},
        {"a script that yielded recently", 5 * limit, 5 * limit + 10, true, false},
        {"across the clock's wrap", 0xFFFFFF00u, 0xFFFFFF00u + limit, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint32_t now = 0;
        TCloseWatch watch([&] { return now; }, [&] { return c.pending; });
        now = c.turnAt;
        watch.MainLoopTurned();
        now = c.askAt;
        EXPECT_EQ(watch.ShouldStopScript(), c.stop);
    }
}

TEST(CloseWatch, LooksForARequestAtALowRateAndForgetsTheAnswerWhenTheLoopTurns)
{
    uint32_t now = 0;
    int looks = 0;
    bool pending = false;
    TCloseWatch watch([&] { return now; },
                      [&] {
                          ++looks;
                          return pending;
                      });
    now = TCloseWatch::kHoldLimitMs;
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(watch.ShouldStopScript());
    EXPECT_EQ(looks, 1);
    // The close box is clicked: seen at the next look, not before.
    pending = true;
    now += TCloseWatch::kLookIntervalMs - 1;
    EXPECT_FALSE(watch.ShouldStopScript());
    now += 1;
    EXPECT_TRUE(watch.ShouldStopScript());
    EXPECT_EQ(looks, 2);
    // The stopped script unwound to the main loop, which handles the request.
    pending = false;
    watch.MainLoopTurned();
    now += TCloseWatch::kHoldLimitMs;
    EXPECT_FALSE(watch.ShouldStopScript());
}

}  // namespace
