#include "sound/manager/loopback_fixture.h"

namespace soundtest {
namespace {

// What is actually heard, rendered by the loopback device.
using RenderedOutputTest = LoopbackTest;

TEST_F(RenderedOutputTest, LevelFollowsMasterTimesTypeVolume)
{
    auto full = Tone("r_level", 2.0, 20);
    auto instance = full->Play(true);
    auto mix = Render(8192);
    double reference = LeftRms(mix, 2048, 8192);
    EXPECT_GT(reference, 0.1);

    mManager->SetTypeVolume(20, 0.5f);
    mManager->SetVolume(0.8f);
    mix = Render(8192);
    EXPECT_NEAR(LeftRms(mix, 2048, 8192) / reference, 0.4, 0.02);

    mManager->SetTypeVolume(20, 0.0f);
    mix = Render(4096);
    EXPECT_LT(LeftRms(mix, 1024, 4096), 1e-4);
}

TEST_F(RenderedOutputTest, SilentWhilePausedAndBackAfter)
{
    auto instance = Tone("r_pause", 2.0, 21)->Play(true);
    auto mix = Render(4096);
    double playing = LeftRms(mix, 1024, 4096);
    EXPECT_GT(playing, 0.1);

    mManager->PauseAllSounds(true, 21);
    mix = Render(8192);
    EXPECT_LT(LeftRms(mix, 512, 8192), 1e-4);

    mManager->AppActivate(false);
    mManager->PauseAllSounds(false, 21);
    mix = Render(4096);
    EXPECT_LT(LeftRms(mix, 512, 4096), 1e-4) << "still paused by the application";

    mManager->AppActivate(true);
    mix = Render(4096);
    EXPECT_NEAR(LeftRms(mix, 1024, 4096), playing, playing * 0.1);
}

TEST_F(RenderedOutputTest, NoGapWhereALoopWraps)
{
    // 0.3 s: 26460 bytes, not a multiple of the 65536-byte buffers.
    auto instance = Tone("r_wrap", 0.3, 22)->Play(true);
    auto mix = Render(44100 * 2);
    double level = LeftRms(mix, 1024, 13000);
    EXPECT_GT(level, 0.1);
    // Windows of 3 ms over 2 s cover six wraps.
    EXPECT_GT(MinWindowRms(mix, 1024, 44100 * 2, 128), level * 0.6);
    EXPECT_TRUE(instance->IsPlaying());
}

TEST_F(RenderedOutputTest, NoGapWhereAChainSwitchesAndSilenceAfterTheEnd)
{
    auto first = Tone("r_first", 0.25, 23);
    auto second = Tone("r_second", 0.25, 23, 551.25);
    RecordingCallBack callback;
    auto instance = first->Play(false);
    first->SetCompleteAction(instance, &callback, second);
    auto mix = Render(44100);
    const int end = 2 * 11025;
    double level = LeftRms(mix, 1024, end - 1024);
    EXPECT_GT(level, 0.1);
    EXPECT_GT(MinWindowRms(mix, 1024, end - 512, 128), level * 0.6);
    // The second tone is heard after the switch: its frequency (551.25 Hz, 80 frames a period).
    int crossings = 0;
    for (int i = 11025 + 1000; i < 11025 + 9000; ++i)
        crossings += mix[(i - 1) * 2] < 0.0f && mix[i * 2] >= 0.0f;
    EXPECT_NEAR(crossings, 100, 2);
    EXPECT_LT(LeftRms(mix, end + 1024, 44100), 1e-4);
    EXPECT_EQ(callback.calls.size(), 2u);
}

}  // namespace
}  // namespace soundtest
