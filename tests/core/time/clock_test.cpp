#include "core/time/clock.h"
#include "core/time/time_source.h"

#include <gtest/gtest.h>

namespace {

uint32_t gNow = 0;

class Clock : public testing::Test
{
protected:
    void SetUp() override
    {
        gNow = 10000;
        SetTimeSource([] { return gNow; });
    }
    void TearDown() override { SetTimeSource(nullptr); }
};

TEST_F(Clock, ReadsZeroUntilStarted)
{
    TClock c;
    gNow += 700;
    EXPECT_EQ(c.GetTime(), 0u);
    EXPECT_TRUE(c.IsPaused());
    c.Start();
    gNow += 250;
    EXPECT_EQ(c.GetTime(), 250u);
}

TEST_F(Clock, PausedTimeIsNotCounted)
{
    TClock c;
    c.Start();
    gNow += 100;
    EXPECT_FALSE(c.Pause());
    EXPECT_TRUE(c.Pause());
    gNow += 500;
    EXPECT_EQ(c.GetTime(), 100u);
    c.Start();
    EXPECT_EQ(c.GetTime(), 100u);
    gNow += 40;
    EXPECT_EQ(c.GetTime(), 140u);
    c.Pause();
    gNow += 1000;
    c.Start();
    gNow += 10;
    EXPECT_EQ(c.GetTime(), 150u);
}

TEST_F(Clock, ResetGoesBackToAPausedZero)
{
    TClock c;
    c.Start();
    gNow += 300;
    c.Reset();
    EXPECT_TRUE(c.IsPaused());
    EXPECT_EQ(c.GetTime(), 0u);
    gNow += 200;
    c.Start();
    EXPECT_EQ(c.GetTime(), 0u);
    gNow += 5;
    EXPECT_EQ(c.GetTime(), 5u);
}

TEST_F(Clock, SurvivesTimerWrap)
{
    gNow = 0xFFFFFF00u;
    TClock c;
    c.Start();
    gNow += 0x200;
    EXPECT_EQ(c.GetTime(), 0x200u);
}

}  // namespace
