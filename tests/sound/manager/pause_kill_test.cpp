#include "sound/manager/loopback_fixture.h"

#include <AL/al.h>

#include "sound/manager/sound_stream.h"

namespace soundtest {
namespace {

using PauseKillTest = LoopbackTest;

TEST_F(PauseKillTest, PauseByTypeLeavesOtherTypesPlaying)
{
    auto a = Tone("pk_a", 1.0, 3)->Play(true);
    auto b = Tone("pk_b", 1.0, 4)->Play(true);
    Render(512);
    mManager->PauseAllSounds(true, 3);
    EXPECT_EQ(SourceState(a), AL_PAUSED);
    EXPECT_EQ(SourceState(b), AL_PLAYING);
    mManager->PauseAllSounds(true, -1);
    EXPECT_EQ(SourceState(b), AL_PAUSED);
    mManager->SetTypeVolume(3, 0.25f);
    mManager->PauseAllSounds(false, -1);
    EXPECT_EQ(SourceState(a), AL_PLAYING);
    EXPECT_EQ(SourceState(b), AL_PLAYING);
    EXPECT_FLOAT_EQ(SourceGain(a), 0.25f);
}

TEST_F(PauseKillTest, GamePauseAndApplicationPauseAreSeparate)
{
    auto userPaused = Tone("pk_user", 1.0, 5)->Play(true);
    auto free = Tone("pk_free", 1.0, 6)->Play(true);
    mManager->PauseAllSounds(true, 5);

    mManager->AppActivate(false);
    mManager->AppActivate(false);
    EXPECT_EQ(SourceState(free), AL_PAUSED);
    EXPECT_TRUE(free->GetStream()->IsSystemPaused());

    // A sound started in the background starts paused.
    auto late = Tone("pk_late", 1.0, 6)->Play(true);
    EXPECT_EQ(SourceState(late), AL_PAUSED);

    // Clearing the game's pause alone keeps the stream paused.
    mManager->PauseAllSounds(false, 5);
    EXPECT_EQ(SourceState(userPaused), AL_PAUSED);
    mManager->PauseAllSounds(true, 5);

    mManager->AppActivate(true);
    EXPECT_EQ(SourceState(free), AL_PLAYING);
    EXPECT_EQ(SourceState(late), AL_PLAYING);
    EXPECT_EQ(SourceState(userPaused), AL_PAUSED) << "the game paused it itself";
    mManager->PauseAllSounds(false, 5);
    EXPECT_EQ(SourceState(userPaused), AL_PLAYING);
}

TEST_F(PauseKillTest, KillByTypeSparesOtherTypesAndMinusOneKillsAll)
{
    auto a1 = Tone("pk_a", 1.0, 3)->Play(true);
    auto a2 = Tone("pk_a", 1.0, 3)->Play(false);
    auto b = Tone("pk_b", 1.0, 4)->Play(true);
    ASSERT_EQ(mManager->StreamCount(), 3u);
    mManager->KillAllSounds(3);
    EXPECT_EQ(mManager->StreamCount(), 1u);
    EXPECT_FALSE(a1->IsPlaying());
    EXPECT_FALSE(a2->IsPlaying());
    EXPECT_TRUE(b->IsPlaying());
    EXPECT_EQ(Tone("pk_a", 1.0, 3)->InstanceCount(), 0u);
    mManager->KillAllSounds(-1);
    EXPECT_EQ(mManager->StreamCount(), 0u);
    EXPECT_FALSE(b->IsPlaying());
}

TEST_F(PauseKillTest, DelayedStopReleasesAtTheNextMainThreadPass)
{
    auto a = Tone("pk_delay", 1.0, 3)->Play(true);
    TSoundStream* stream = a->GetStream();
    stream->Kill(true);
    EXPECT_EQ(mManager->StreamCount(), 0u);
    EXPECT_EQ(mManager->DelayedReleaseCount(), 1u);
    EXPECT_TRUE(a->IsPlaying()) << "alive until the main-thread pass";
    mManager->HandleNotifications();
    EXPECT_EQ(mManager->DelayedReleaseCount(), 0u);
    EXPECT_FALSE(a->IsPlaying());
}

}  // namespace
}  // namespace soundtest
