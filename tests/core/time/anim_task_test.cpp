#include "core/time/anim_task.h"
#include "core/time/clock.h"
#include "core/time/time_source.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

uint32_t gNow = 0;

struct Stepper : TAnimTask
{
    explicit Stepper(TClock* c = nullptr) : TAnimTask(c) {}
    bool Animate() override
    {
        dues.push_back(GetDue());
        return mOnStep ? mOnStep() : true;
    }
    std::vector<uint32_t> dues;
    std::function<bool()> mOnStep;
};

class AnimTask : public testing::Test
{
protected:
    void SetUp() override
    {
        gNow = 50000;
        SetTimeSource([] { return gNow; });
    }
    void TearDown() override { SetTimeSource(nullptr); }
};

TEST_F(AnimTask, ReadyAtOnceAfterConstruction)
{
    Stepper t;
    EXPECT_TRUE(t.Ready(TTask::kIdleContext));
    EXPECT_EQ(t.GetTimeUntilReady(), 0);
    EXPECT_FALSE(t.Ready(TTask::kDrawContext));
}

TEST_F(AnimTask, DelayFromNowAndFromDue)
{
    Stepper t;
    EXPECT_EQ(t.SetDelay(100, false, true, false), 0u);
    EXPECT_FALSE(t.Ready(TTask::kIdleContext));
    EXPECT_EQ(t.GetTimeUntilReady(), -100);
    gNow += 100;
    EXPECT_TRUE(t.Ready(TTask::kIdleContext));
    // Not from now: added to the previous due time.
    EXPECT_EQ(t.SetDelay(30, true, false, false), 30u);
    EXPECT_EQ(t.GetDue(), 50130u);
}

TEST_F(AnimTask, PausedTaskIsOnlyReadyInTheDrawPassWhenFlagged)
{
    Stepper t;
    t.Pause();
    EXPECT_TRUE(t.IsPaused());
    EXPECT_EQ(t.GetTimeUntilReady(), -1);
    gNow += 100000;
    EXPECT_FALSE(t.Ready(TTask::kIdleContext));
    EXPECT_FALSE(t.Ready(TTask::kDrawContext));
    t.SetDrawContext(true);
    EXPECT_TRUE(t.Ready(TTask::kDrawContext));
    // Stepped by the drawing pass it stays paused.
    EXPECT_TRUE(t.DoTask());
    EXPECT_TRUE(t.IsPaused());
    t.Pause();
    EXPECT_FALSE(t.Ready(TTask::kDrawContext));
    // A delay on a paused task counts from now.
    t.SetDelay(10, false, false, false);
    EXPECT_EQ(t.GetDue(), gNow + 10);
}

TEST_F(AnimTask, ReadinessIsWrapSafe)
{
    gNow = 0xFFFFFFF0u;
    Stepper t;
    t.SetDelay(0x20, false, true, false);
    EXPECT_FALSE(t.Ready(TTask::kIdleContext));
    gNow += 0x20;  // wraps past zero
    EXPECT_TRUE(t.Ready(TTask::kIdleContext));
}

TEST_F(AnimTask, CatchUpStepsOncePerMissedRepeat)
{
    Stepper t;
    t.SetDelay(100, true, false, true);
    const uint32_t due = t.GetDue();
    gNow = due + 350;
    EXPECT_TRUE(t.DoTask());
    EXPECT_EQ(t.dues, (std::vector<uint32_t>{due + 100, due + 200, due + 300, due + 400}));
}

TEST_F(AnimTask, MoreThanASecondLateDropsTheBacklog)
{
    Stepper t;
    t.SetDelay(100, true, false, true);
    gNow = t.GetDue() + 1500;
    EXPECT_TRUE(t.DoTask());
    EXPECT_EQ(t.dues, std::vector<uint32_t>{gNow + 100});
}

TEST_F(AnimTask, WithoutCatchUpOneStepPerPass)
{
    Stepper t;
    t.SetDelay(100, true, false, false);
    const uint32_t due = t.GetDue();
    gNow = due + 350;
    EXPECT_TRUE(t.DoTask());
    EXPECT_EQ(t.dues, std::vector<uint32_t>{due + 100});
}

TEST_F(AnimTask, FromNowRepeatsFromTheCurrentTime)
{
    Stepper t;
    t.SetDelay(100, true, true, true);
    gNow += 450;
    EXPECT_TRUE(t.DoTask());
    EXPECT_EQ(t.dues, std::vector<uint32_t>{gNow + 100});
}

TEST_F(AnimTask, OneShotWithCatchUpStepsOnceAndEnds)
{
    // A zero repeat delay never moves the due time: catching up must not loop for ever.
    Stepper t;
    t.SetDelay(50, false, false, true);
    gNow = t.GetDue() + 400;
    EXPECT_TRUE(t.DoTask());
    EXPECT_EQ(t.dues.size(), 1u);
}

TEST_F(AnimTask, AnimateEndingTheTaskStopsCatchUp)
{
    Stepper t;
    t.SetDelay(100, true, false, true);
    gNow = t.GetDue() + 900;
    int left = 2;
    t.mOnStep = [&] { return --left > 0; };
    EXPECT_FALSE(t.DoTask());
    EXPECT_EQ(t.dues.size(), 2u);
}

TEST_F(AnimTask, AnimatePausingStopsCatchUp)
{
    Stepper t;
    t.SetDelay(100, true, false, true);
    gNow = t.GetDue() + 900;
    t.mOnStep = [&] {
        t.Pause();
        return true;
    };
    EXPECT_TRUE(t.DoTask());
    EXPECT_EQ(t.dues.size(), 1u);
    EXPECT_TRUE(t.IsPaused());
}

TEST_F(AnimTask, RunsOnAPausableClock)
{
    TClock clock;
    clock.Start();
    Stepper t(&clock);
    t.SetDelay(100, false, true, false);
    clock.Pause();
    gNow += 1000;
    EXPECT_FALSE(t.Ready(TTask::kIdleContext));
    clock.Start();
    gNow += 100;
    EXPECT_TRUE(t.Ready(TTask::kIdleContext));
}

TEST_F(AnimTask, SetClockKeepsTheDistanceToTheDueTime)
{
    TClock clock;
    clock.Start();
    gNow += 5;
    Stepper t;  // on the platform clock
    t.SetDelay(1, false, true, false);
    t.SetClock(&clock);
    EXPECT_EQ(t.GetClock(), &clock);
    EXPECT_FALSE(t.IsPaused());
    EXPECT_EQ(t.GetTimeUntilReady(), -1);
    t.SetDelay(200, false, true, false);
    t.SetClock(nullptr);
    EXPECT_EQ(t.GetTimeUntilReady(), -200);
    t.Pause();
    t.SetClock(&clock);
    EXPECT_TRUE(t.IsPaused());
}

TEST_F(AnimTask, StepsInsideATaskList)
{
    TTaskList list;
    auto* t = new Stepper;
    int runs = 0;
    t->mOnStep = [&] { return ++runs < 3; };
    t->SetDelay(10, true, false, false);
    list.AdoptTask(t);
    for (int i = 0; i < 10; ++i) {
        list.DoAll(TTask::kIdleContext);
        gNow += 10;
    }
    EXPECT_EQ(runs, 3);
    EXPECT_TRUE(list.Empty());
}

}  // namespace
