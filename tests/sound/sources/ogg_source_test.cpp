#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "core/files/file.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/ogg_mem_callbacks.h"
#include "sound/support/sound_fixtures.h"

using namespace soundtest;

namespace {

// One stereo and one mono fixture for the whole program.
class OggSourceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        AddMemoryFixture("ogg/mono.ogg", EncodeVorbis(MakeTone(441.0, 1.5, 44100, 1), 44100, 1));
        AddMemoryFixture("ogg/stereo.ogg", EncodeVorbis(MakeTone(1000.0, 3.0, 22050, 2), 22050, 2));
    }
};

TEST_F(OggSourceTest, ReportsFormatAndDecodesTheTone)
{
    for (bool direct : {false, true}) {
        TOggDataSource mono;
        ASSERT_TRUE(mono.InitFromFile("ogg/mono.ogg", direct));
        EXPECT_EQ(mono.GetBitRate(), 44100);
        EXPECT_EQ(mono.GetChannels(), 1);
        EXPECT_NEAR(mono.GetSeconds(), 1.5, 0.001);
        EXPECT_EQ(mono.GetRawLength(), 66150u * 2u);
        Bytes pcm = ReadAll(mono, 4096);
        EXPECT_EQ(pcm.size(), mono.GetRawLength());
        EXPECT_NEAR(ToneFrequency(Samples(pcm), SampleCount(pcm), 1, 0, 44100), 441.0, 2.0);
        // Amplitude 0.5 of full scale: RMS of a sine is amplitude / sqrt(2).
        EXPECT_NEAR(Rms(Samples(pcm), SampleCount(pcm), 1, 0), 0.5 * 32767 / std::sqrt(2.0), 600.0);
    }

    TOggDataSource stereo;
    ASSERT_TRUE(stereo.InitFromFile("ogg/stereo", false)) << "the name without extension gets \".ogg\"";
    EXPECT_EQ(stereo.GetChannels(), 2);
    EXPECT_EQ(stereo.GetBitRate(), 22050);
    Bytes pcm = ReadAll(stereo);
    std::size_t frames = SampleCount(pcm) / 2;
    EXPECT_EQ(frames, 66150u);
    EXPECT_NEAR(ToneFrequency(Samples(pcm), frames, 2, 0, 22050), 1000.0, 3.0);
    EXPECT_NEAR(ToneFrequency(Samples(pcm), frames, 2, 1, 22050), 1000.0, 3.0);
    // Interleaving kept: the right channel is half the left.
    EXPECT_NEAR(Rms(Samples(pcm), frames, 2, 1) / Rms(Samples(pcm), frames, 2, 0), 0.5, 0.03);
}

TEST_F(OggSourceTest, RandomOffsetsReadWhatSequentialReadsRead)
{
    for (bool direct : {false, true}) {
        TOggDataSource sequential;
        ASSERT_TRUE(sequential.InitFromFile("ogg/stereo.ogg", direct));
        Bytes whole = ReadAll(sequential, 65536);
        ASSERT_EQ(whole.size(), sequential.GetRawLength());

        TOggDataSource random;
        ASSERT_TRUE(random.InitFromFile("ogg/stereo.ogg", direct));
        std::mt19937 rng(7);
        for (int i = 0; i < 40; ++i) {
            unsigned offset = static_cast<unsigned>(rng() % (whole.size() / 4)) * 4;
            unsigned length = 4 + static_cast<unsigned>(rng() % 20000) * 4;
            Bytes part(length);
            unsigned got = random.Read(part.data(), offset, length);
            unsigned expected = static_cast<unsigned>(std::min<std::size_t>(length, whole.size() - offset));
            ASSERT_EQ(got, expected) << "offset " << offset;
            ASSERT_EQ(0, std::memcmp(part.data(), whole.data() + offset, got)) << "offset " << offset;
        }
    }
}

TEST_F(OggSourceTest, MissingFileFailsSilentlyAndDamagedFilesFailWithALogLine)
{
    TOggDataSource missing;
    EXPECT_FALSE(missing.InitFromFile("ogg/nothing", false));

    Bytes good = EncodeVorbis(MakeTone(441.0, 0.5, 44100, 1), 44100, 1);
    Bytes garbage(4000);
    std::mt19937 rng(3);
    for (auto& b : garbage)
        b = static_cast<unsigned char>(rng());
    AddMemoryFixture("ogg/garbage.ogg", garbage);
    Bytes headerOnly(good.begin(), good.begin() + 60);
    AddMemoryFixture("ogg/cut.ogg", headerOnly);
    str empty = AddDiskFixture("empty.ogg", Bytes{});
    AddMemoryFixture("ogg/three.ogg", EncodeVorbis(MakeTone(441.0, 0.5, 44100, 3), 44100, 3));

    for (str name : {str("ogg/garbage.ogg"), str("ogg/cut.ogg"), empty}) {
        for (bool direct : {false, true}) {
            TOggDataSource source;
            testing::internal::CaptureStderr();
            EXPECT_FALSE(source.InitFromFile(name, direct)) << name.c_str();
            EXPECT_NE(testing::internal::GetCapturedStderr().find("OGG file could not be opened"), std::string::npos)
                << name.c_str() << (direct ? " direct" : " in memory");
            char buffer[64];
            EXPECT_EQ(source.Read(buffer, 0, sizeof buffer), 0u);
        }
    }
    TOggDataSource three;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(three.InitFromFile("ogg/three.ogg", false)) << "three channels cannot be played";
    EXPECT_NE(testing::internal::GetCapturedStderr().find("3 channels"), std::string::npos);
}

TEST_F(OggSourceTest, TruncatedAndCorruptedAudioDecodesWhatIsThereWithoutCrashing)
{
    // Long enough that the codebooks are a small part and the cut falls in the audio.
    Bytes good = EncodeVorbis(MakeTone(441.0, 6.0, 22050, 2), 22050, 2, 0.9f);
    Bytes half(good.begin(), good.begin() + good.size() * 2 / 3);
    AddMemoryFixture("ogg/half.ogg", half);
    TOggDataSource source;
    ASSERT_TRUE(source.InitFromFile("ogg/half.ogg", false));
    Bytes pcm = ReadAll(source);
    EXPECT_GT(pcm.size(), 22050u * 4u);
    EXPECT_LT(pcm.size(), 22050u * 4u * 6u);

    std::mt19937 rng(11);
    for (int round = 0; round < 30; ++round) {
        Bytes damaged = good;
        for (int flips = 0; flips < 20; ++flips)
            damaged[rng() % damaged.size()] ^= static_cast<unsigned char>(1u << (rng() % 8));
        str name = str::getFormatted("ogg/flipped%d.ogg", round);
        AddMemoryFixture(name, damaged);
        TOggDataSource flipped;
        testing::internal::CaptureStderr();
        if (flipped.InitFromFile(name, round % 2 == 0)) {
            Bytes out = ReadAll(flipped, 8192);
            EXPECT_LE(out.size(), 22050u * 4u * 6u);
            Bytes some(1000);
            flipped.Read(some.data(), 4000, 1000);
        }
        testing::internal::GetCapturedStderr();
    }
}

TEST(OggMemCallbacks, SeekClampsAndReadStopsAtTheEnd)
{
    auto* record = new TOggMemRecord;
    record->data = new unsigned char[10]{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    record->size = 10;
    unsigned char out[16] = {};
    EXPECT_EQ(TOggMem::ogg_mem_seek(record, 7, SEEK_SET), 0);
    EXPECT_EQ(TOggMem::ogg_mem_read(out, 1, 16, record), 3u);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(TOggMem::ogg_mem_tell(record), 10);
    EXPECT_EQ(TOggMem::ogg_mem_seek(record, -100, SEEK_CUR), 0);
    EXPECT_EQ(TOggMem::ogg_mem_tell(record), 0);
    EXPECT_EQ(TOggMem::ogg_mem_seek(record, 50, SEEK_END), 0);
    EXPECT_EQ(TOggMem::ogg_mem_tell(record), 10);
    EXPECT_EQ(TOggMem::ogg_mem_seek(record, -4, SEEK_END), 0);
    EXPECT_EQ(TOggMem::ogg_mem_read(out, 2, 5, record), 2u) << "whole elements only";
    EXPECT_EQ(out[0], 6);
    EXPECT_EQ(TOggMem::ogg_mem_seek(record, 0, 99), -1);
    EXPECT_EQ(TOggMem::ogg_mem_close(record), 0);
}

}  // namespace
