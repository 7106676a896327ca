#include "sound/manager/loopback_fixture.h"

#include <AL/al.h>

#include "sound/manager/sound_stream.h"

namespace soundtest {
namespace {

using VolumeTest = LoopbackTest;

TEST_F(VolumeTest, EffectiveVolumeIsMasterTimesTheTypeVolume)
{
    EXPECT_FLOAT_EQ(mManager->GetVolume(-1), 1.0f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(7), 1.0f) << "a type never given a volume plays at the master";
    mManager->SetTypeVolume(7, 0.5f);
    mManager->SetVolume(0.8f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(7), 0.4f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(8), 0.8f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(-1), 0.8f);
    mManager->SetTypeVolume(7, 0.0f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(7), 0.0f);
}

TEST_F(VolumeTest, VolumeChangesReachPlayingStreamsClamped)
{
    auto music = Tone("vol_music", 1.0, 1001)->Play(true);
    auto voice = Tone("vol_voice", 1.0, 1002)->Play(true);
    ASSERT_TRUE(music && voice);
    EXPECT_FLOAT_EQ(SourceGain(music), 1.0f);

    mManager->SetTypeVolume(1001, 0.5f);
    EXPECT_FLOAT_EQ(SourceGain(music), 0.5f);
    EXPECT_FLOAT_EQ(SourceGain(voice), 1.0f);

    mManager->SetVolume(0.6f);
    EXPECT_FLOAT_EQ(SourceGain(music), 0.3f);
    EXPECT_FLOAT_EQ(SourceGain(voice), 0.6f);

    mManager->SetVolume(1.0f);
    mManager->SetTypeVolume(1002, 1.2f);
    EXPECT_FLOAT_EQ(SourceGain(voice), 1.0f) << "1.2 plays at 1";
    mManager->SetTypeVolume(1002, -0.3f);
    EXPECT_FLOAT_EQ(SourceGain(voice), 0.0f) << "-0.3 plays at 0";

    // A new stream starts at its type's volume.
    auto second = Tone("vol_music", 1.0, 1001)->Play(false);
    EXPECT_FLOAT_EQ(SourceGain(second), 0.5f);
}

}  // namespace
}  // namespace soundtest
