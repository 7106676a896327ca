#include <gtest/gtest.h>

#include "core/config/config.h"
#include "sound/sources/mem_data_source.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/sound_data_source_factory.h"
#include "sound/sources/speex_data_source.h"
#include "sound/support/sound_fixtures.h"

using namespace soundtest;

namespace {

class FactoryTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TOggDataSource::Register();
        TSpeex::Register();
        SpeexOptions sized;
        sized.waveSize = true;
        AddMemoryFixture("fx/both.ogg", EncodeVorbis(MakeTone(441.0, 0.5, 44100, 1), 44100, 1));
        AddMemoryFixture("fx/both.spx", EncodeSpeex(MakeTone(400.0, 0.5, 8000, 1), sized));
        AddMemoryFixture("fx/onlyspeex.spx", EncodeSpeex(MakeTone(400.0, 0.5, 8000, 1), sized));
        AddMemoryFixture("fx/short.ogg", EncodeVorbis(MakeTone(441.0, 1.5, 22050, 1), 22050, 1));
        AddMemoryFixture("fx/long.ogg", EncodeVorbis(MakeTone(441.0, 3.0, 22050, 1), 22050, 1));
        AddMemoryFixture("fx/longspeech.spx", EncodeSpeex(MakeTone(400.0, 3.0, 8000, 1), sized));
        AddMemoryFixture("fx/data.bin", Bytes(100, 0));
        AddMemoryFixture("abc.spx.ogg", EncodeVorbis(MakeTone(441.0, 0.3, 22050, 1), 22050, 1));
    }
    void TearDown() override { TConfig::SetConfig(TConfig::kKeepOGGUncompressed, ""); }
};

TEST_F(FactoryTest, ExtensionStartsAtTheFirstDotFromTheFifthCharacter)
{
    EXPECT_EQ(TSoundDataSourceFactory::ExtensionOf("fx/both.ogg"), str("ogg"));
    EXPECT_EQ(TSoundDataSourceFactory::ExtensionOf("../sound"), str(""));
    EXPECT_EQ(TSoundDataSourceFactory::ExtensionOf("../a.b.ogg"), str("b.ogg"));
    EXPECT_EQ(TSoundDataSourceFactory::ExtensionOf("a.b"), str(""));
    EXPECT_EQ(TSoundDataSourceFactory::ExtensionOf("abcd.x"), str("x"));
}

TEST_F(FactoryTest, PicksTheBuilderByExtensionOrByWhichFileExists)
{
    auto byExtension = TSoundDataSourceFactory::Create("fx/both.spx", true);
    EXPECT_NE(dynamic_cast<TSpeexDataSource*>(byExtension.get()), nullptr);

    // No extension: "ogg" is tried before "spx".
    auto bare = TSoundDataSourceFactory::Create("fx/both", true);
    ASSERT_NE(dynamic_cast<TOggDataSource*>(bare.get()), nullptr);
    EXPECT_NEAR(bare->GetSeconds(), 0.5, 0.01);

    // The Speex source opens the name as given, so a bare name finds the file but cannot open it.
    testing::internal::CaptureStderr();
    EXPECT_EQ(TSoundDataSourceFactory::Create("fx/onlyspeex", true), nullptr);
    testing::internal::GetCapturedStderr();

    // A dot within the first four characters does not start an extension: "abc.spx" is not
    // a Speex name, and the Ogg builder finds "abc.spx.ogg".
    auto dotted = TSoundDataSourceFactory::Create("abc.spx", true);
    EXPECT_NE(dynamic_cast<TOggDataSource*>(dotted.get()), nullptr);

    EXPECT_EQ(TSoundDataSourceFactory::Create("fx/data.bin", true), nullptr);
    EXPECT_EQ(TSoundDataSourceFactory::Create("fx/nothing", true), nullptr);
}

TEST_F(FactoryTest, ShortSoundsKeptInMemoryAreDecodedAndLongOnesStayCompressed)
{
    auto shortOne = TSoundDataSourceFactory::Create("fx/short.ogg", false);
    EXPECT_NE(dynamic_cast<TMemDataSource*>(shortOne.get()), nullptr);
    EXPECT_EQ(shortOne->GetRawLength(), 33075u * 2u);

    auto longOne = TSoundDataSourceFactory::Create("fx/long.ogg", false);
    EXPECT_NE(dynamic_cast<TOggDataSource*>(longOne.get()), nullptr);

    TConfig::SetConfig(TConfig::kKeepOGGUncompressed, "1");
    auto kept = TSoundDataSourceFactory::Create("fx/long.ogg", false);
    EXPECT_NE(dynamic_cast<TMemDataSource*>(kept.get()), nullptr);
    EXPECT_EQ(kept->GetRawLength(), 66150u * 2u);
    TConfig::SetConfig(TConfig::kKeepOGGUncompressed, "0");
    EXPECT_NE(dynamic_cast<TOggDataSource*>(TSoundDataSourceFactory::Create("fx/long.ogg", false).get()), nullptr);

    // Read from the file while playing: never decoded up front.
    EXPECT_NE(dynamic_cast<TOggDataSource*>(TSoundDataSourceFactory::Create("fx/short.ogg", true).get()), nullptr);

    auto speech = TSoundDataSourceFactory::Create("fx/onlyspeex.spx", false);
    EXPECT_NE(dynamic_cast<TMemDataSource*>(speech.get()), nullptr);
    EXPECT_EQ(speech->GetRawLength(), 8000u);
    EXPECT_NE(dynamic_cast<TSpeexDataSource*>(TSoundDataSourceFactory::Create("fx/longspeech.spx", false).get()),
              nullptr);
}

TEST_F(FactoryTest, DiskFilesDecodeLikeMemoryFiles)
{
    Bytes ogg = EncodeVorbis(MakeTone(441.0, 0.4, 22050, 2), 22050, 2);
    str name = AddDiskFixture("Tone.ogg", ogg);
    AddMemoryFixture("fx/tone_in_memory.ogg", ogg);
    auto fromDisk = TSoundDataSourceFactory::Create(name, true);
    auto fromMemory = TSoundDataSourceFactory::Create("fx/tone_in_memory.ogg", true);
    ASSERT_NE(fromDisk, nullptr);
    ASSERT_NE(fromMemory, nullptr);
    EXPECT_EQ(ReadAll(*fromDisk), ReadAll(*fromMemory));
}

}  // namespace
