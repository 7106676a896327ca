#include "sound/manager/loopback_fixture.h"

#include "core/files/asset_map.h"
#include "sound/manager/sound_data.h"

namespace soundtest {
namespace {

using SoundGetTest = LoopbackTest;

TEST_F(SoundGetTest, QueryGroupAndCacheKeys)
{
    Tone("get_a", 0.3);
    EXPECT_EQ(TSound::Get("", true, 0), nullptr);

    auto plain = TSound::Get("tones/get_a.ogg", true, 3);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->GetName(), str("tones/get_a.ogg"));
    EXPECT_EQ(plain->GetGroup(), 3);
    EXPECT_EQ(mAssets->GetAsset("tones/get_a.ogg;1;3"), plain);

    auto grouped = TSound::Get("tones/get_a.ogg?group=7", true, 3);
    EXPECT_EQ(grouped->GetName(), str("tones/get_a.ogg"));
    EXPECT_EQ(grouped->GetGroup(), 7);
    EXPECT_EQ(TSound::Get("tones/get_a.ogg?x=1&group=7", true, 0), grouped) << "same name, flag and group";

    auto dropped = TSound::Get("tones/get_a.ogg?x=1", true, 3);
    EXPECT_EQ(dropped, plain) << "a query without a group is dropped";

    auto streamed = TSound::Get("tones/get_a.ogg", false, 3);
    EXPECT_NE(streamed, plain) << "the other in-memory flag is another key";
    EXPECT_EQ(mAssets->GetAsset("tones/get_a.ogg;0;3"), streamed);
    EXPECT_NEAR(streamed->GetSoundLength(), 0.3f, 0.001f);

    EXPECT_STREQ(plain->GetTypeName(), "TSound");
    EXPECT_TRUE(plain->IsKindOf(TSound::ClassId()));
    EXPECT_TRUE(plain->IsKindOf(TAsset::ClassId()));
    EXPECT_EQ(plain->GetRef(), plain);
}

TEST_F(SoundGetTest, MissingFileGivesASilentSound)
{
    testing::internal::CaptureStderr();
    auto missing = TSound::Get("audio/none.ogg?group=2", true, 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("TSound::Get: No valid sound file found: audio/none.ogg"),
              std::string::npos);
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->HasSource());
    EXPECT_EQ(missing->GetSoundLength(), 0.0f);
    testing::internal::CaptureStderr();
    EXPECT_EQ(missing->Play(false), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(TSound::Get("audio/none.ogg", true, 2), missing) << "cached without data";
}

TEST_F(SoundGetTest, AssetMapsLoadSoundsByName)
{
    Tone("get_map", 0.2);
    TAssetMap map;
    map.AddAsset("tones/get_map?group=1000");
    auto sound = map.GetSound("tones/get_map?group=1000");
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->GetName(), str("tones/get_map.ogg"));
    EXPECT_EQ(sound->GetGroup(), 1000);
    EXPECT_EQ(mAssets->GetAsset("tones/get_map?group=1000;0;1000"), sound);
    EXPECT_TRUE(sound->Play(false));
}

TEST_F(SoundGetTest, SpeexSoundsPlayThroughTheSameManager)
{
    SpeexOptions o;
    o.waveSize = true;
    AddMemoryFixture("voice/line.spx", EncodeSpeex(MakeTone(400.0, 0.5, 8000, 1), o));
    auto line = TSound::Get("voice/line.spx?group=1002", false, 0);
    ASSERT_TRUE(line->HasSource());
    EXPECT_NEAR(line->GetSoundLength(), 0.5f, 0.001f);
    RecordingCallBack callback;
    auto instance = line->Play(false);
    ASSERT_TRUE(instance);
    instance->SetCompleteAction(&callback, nullptr);
    auto mix = Render(22050 + 8192);
    EXPECT_GT(LeftRms(mix, 2000, 20000), 0.05);
    EXPECT_EQ(callback.calls.size(), 1u);
}

}  // namespace
}  // namespace soundtest
