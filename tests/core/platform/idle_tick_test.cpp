// The idle tick: task list, sound notifications, and the background sleep.

#include "platform_fakes.h"

#include "core/time/time_source.h"

namespace {

struct CountingTask : TTask
{
    int* runs;
    explicit CountingTask(int* r) : runs(r) {}
    bool DoTask() override
    {
        ++*runs;
        return true;
    }
};

using IdleTick = PlatformFixture;

TEST_F(IdleTick, RunsTheTaskListAndHandlesSoundOnlyWhenNothingIsQueued)
{
    auto data = MakeData();
    data->SetSoundManager(FakeSoundManager());
    int runs = 0;
    data->TaskList().AdoptTask(new CountingTask(&runs));

    TEvent e;
    data->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kIdle);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(sound.notifications, 1);

    data->PushEvent(TEvent{TEvent::kKeyDown, 'A', 0, 0, 0});
    data->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kKeyDown);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(sound.notifications, 1);

    // A received system event handles sound too, but runs no task.
    host->events.push_back(Simple(sysev::kCommand, sysev::kProcessCommand));
    data->GetEvent(&e);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(sound.notifications, 2);
    data->SetSoundManager(nullptr);
}

TEST_F(IdleTick, BackgroundSleepGrowsBy10UpTo1000AndResetsInFront)
{
    auto data = MakeData();
    host->clock = &now;
    host->events.push_back(Simple(sysev::kApplication, sysev::kAppDeactivated));
    TEvent e;
    data->GetEvent(&e);
    ASSERT_EQ(e.type, TEvent::kActivate);

    const uint32_t start = now;
    for (int i = 0; i < 105; ++i)
        data->GetEvent(&e);
    ASSERT_EQ(host->sleeps.size(), 105u);
    EXPECT_EQ(host->sleeps[0], 10u);
    EXPECT_EQ(host->sleeps[1], 20u);
    EXPECT_EQ(host->sleeps[2], 30u);
    EXPECT_EQ(host->sleeps[98], 990u);
    EXPECT_EQ(host->sleeps[99], 1000u);
    EXPECT_EQ(host->sleeps[104], 1000u);
    // 10 + 20 + ... + 1000, then five more seconds.
    EXPECT_EQ(now - start, 50500u + 5000u);
    EXPECT_EQ(data->Timer(), now - 1000u);

    host->events.push_back(Simple(sysev::kApplication, sysev::kAppActivated));
    data->GetEvent(&e);
    data->GetEvent(&e);
    EXPECT_EQ(data->SleepTime(), 0u);
    EXPECT_EQ(host->sleeps.size(), 105u);
}

TEST_F(IdleTick, FullscreenDisplayBringsTheWindowToFrontWhileForeground)
{
    auto data = MakeData();
    render.fullscreenDisplay = true;
    TEvent e;
    data->GetEvent(&e);
    EXPECT_TRUE(host->Called("raise"));
    host->calls.clear();
    host->events.push_back(Simple(sysev::kApplication, sysev::kAppDeactivated));
    data->GetEvent(&e);
    data->GetEvent(&e);
    EXPECT_FALSE(host->Called("raise"));
}

}  // namespace
