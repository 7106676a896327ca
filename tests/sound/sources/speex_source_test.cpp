#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "sound/sources/speex_data_source.h"
#include "sound/support/sound_fixtures.h"

using namespace soundtest;

namespace {

class SpeexSourceTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        SpeexOptions sized;
        sized.waveSize = true;
        AddMemoryFixture("spx/sized.spx", EncodeSpeex(MakeTone(400.0, 1.0, 8000, 1), sized));
        SpeexOptions plain;
        plain.framesPerPacket = 3;
        AddMemoryFixture("spx/plain.spx", EncodeSpeex(MakeTone(400.0, 1.0, 8000, 1), plain));
        SpeexOptions stereo;
        stereo.channels = 2;
        stereo.rate = 16000;
        stereo.waveSize = true;
        AddMemoryFixture("spx/stereo.spx", EncodeSpeex(MakeTone(500.0, 1.0, 16000, 2), stereo));
    }

    static std::string Open(TSpeexDataSource& source, const char* name, bool* ok)
    {
        testing::internal::CaptureStderr();
        *ok = source.InitFromFile(name);
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(SpeexSourceTest, WaveSizeHeaderGivesTheLength)
{
    TSpeexDataSource source;
    ASSERT_TRUE(source.InitFromFile("spx/sized.spx"));
    EXPECT_EQ(source.GetBitRate(), 8000);
    EXPECT_EQ(source.GetChannels(), 1);
    EXPECT_EQ(source.GetRawLength(), 16000u);
    EXPECT_DOUBLE_EQ(source.GetSeconds(), 1.0);
    Bytes pcm = ReadAll(source, 3000);
    // Whole frames of 160 samples are decoded: at least the tone, at most one packet more.
    EXPECT_GE(pcm.size(), 16000u);
    EXPECT_LE(pcm.size(), 16000u + 320u);
    EXPECT_NEAR(ToneFrequency(Samples(pcm), SampleCount(pcm), 1, 0, 8000), 400.0, 4.0);
    EXPECT_GT(Rms(Samples(pcm) + 800, 6000, 1, 0), 0.5 * 32767 / std::sqrt(2.0) * 0.6);
}

TEST_F(SpeexSourceTest, WithoutWaveSizeTheLengthIsUnknownAndReadingGoesOnToTheEnd)
{
    TSpeexDataSource source;
    ASSERT_TRUE(source.InitFromFile("spx/plain.spx"));
    EXPECT_EQ(source.GetRawLength(), static_cast<uint64_t>(INT_MAX));
    EXPECT_GT(source.GetSeconds(), 1000.0);
    Bytes pcm = ReadAll(source, 5000);
    // Three frames per packet: 1 s of 8 kHz rounded up to whole packets of 480 samples.
    EXPECT_EQ(SampleCount(pcm), 8160u);
    EXPECT_NEAR(ToneFrequency(Samples(pcm), SampleCount(pcm), 1, 0, 8000), 400.0, 4.0);
}

TEST_F(SpeexSourceTest, StereoDecodesToInterleavedChannelsAtTheHeaderRate)
{
    TSpeexDataSource source;
    ASSERT_TRUE(source.InitFromFile("spx/stereo.spx"));
    EXPECT_EQ(source.GetChannels(), 2);
    EXPECT_EQ(source.GetBitRate(), 16000);
    EXPECT_DOUBLE_EQ(source.GetSeconds(), 1.0);
    Bytes pcm = ReadAll(source);
    std::size_t frames = SampleCount(pcm) / 2;
    EXPECT_GE(frames, 16000u);
    EXPECT_NEAR(ToneFrequency(Samples(pcm), frames, 2, 0, 16000), 500.0, 5.0);
    EXPECT_NEAR(ToneFrequency(Samples(pcm), frames, 2, 1, 16000), 500.0, 5.0);
    double ratio = Rms(Samples(pcm) + 3200, frames - 1600, 2, 1) / Rms(Samples(pcm) + 3200, frames - 1600, 2, 0);
    EXPECT_NEAR(ratio, 0.5, 0.1);
}

TEST_F(SpeexSourceTest, RandomOffsetsAndRewindsReadWhatSequentialReadsRead)
{
    for (const char* name : {"spx/plain.spx", "spx/stereo.spx"}) {
        TSpeexDataSource sequential;
        ASSERT_TRUE(sequential.InitFromFile(name));
        Bytes whole = ReadAll(sequential, 1000);

        TSpeexDataSource random;
        ASSERT_TRUE(random.InitFromFile(name));
        std::mt19937 rng(5);
        for (int i = 0; i < 30; ++i) {
            unsigned offset = static_cast<unsigned>(rng() % (whole.size() / 4)) * 4;
            unsigned length = 4 + static_cast<unsigned>(rng() % 3000) * 2;
            Bytes part(length);
            unsigned got = random.Read(part.data(), offset, length);
            ASSERT_EQ(got, std::min<std::size_t>(length, whole.size() - offset)) << name << " offset " << offset;
            ASSERT_EQ(0, std::memcmp(part.data(), whole.data() + offset, got)) << name << " offset " << offset;
        }
        // Offset 0 after data was read rewinds to the start.
        Bytes first(640);
        ASSERT_EQ(random.Read(first.data(), 0, 640), 640u);
        EXPECT_EQ(0, std::memcmp(first.data(), whole.data(), 640));
    }
}

TEST_F(SpeexSourceTest, DamagedHeadersFailWithALogLine)
{
    Pcm tone = MakeTone(400.0, 0.3, 8000, 1);
    struct Case
    {
        const char* name;
        SpeexOptions options;
        const char* log;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, auto change, const char* log) {
        SpeexOptions o;
        o.waveSize = true;
        change(o);
        cases.push_back({name, o, log});
    };
    add(
        "spx/frames.spx", [](SpeexOptions& o) { o.headerFrames = 100000; }, "out of range");
    add(
        "spx/negframes.spx", [](SpeexOptions& o) { o.headerFrames = -3; }, "out of range");
    add(
        "spx/extra.spx", [](SpeexOptions& o) { o.headerExtraHeaders = 1 << 30; }, "out of range");
    add(
        "spx/rate.spx", [](SpeexOptions& o) { o.headerRate = -8000; }, "out of range");
    add(
        "spx/mode.spx", [](SpeexOptions& o) { o.headerMode = 7; }, "could not be read");
    add(
        "spx/negsize.spx", [](SpeexOptions& o) { o.waveSizeText = "-5"; }, "bad WAVESIZE");
    add(
        "spx/hugesize.spx", [](SpeexOptions& o) { o.waveSizeText = "99999999999999999999999"; }, "bad WAVESIZE");
    add(
        "spx/textsize.spx", [](SpeexOptions& o) { o.waveSizeText = "lots"; }, "bad WAVESIZE");
    for (auto& c : cases) {
        AddMemoryFixture(c.name, EncodeSpeex(tone, c.options));
        TSpeexDataSource source;
        bool ok = true;
        std::string log = Open(source, c.name, &ok);
        EXPECT_FALSE(ok) << c.name;
        EXPECT_NE(log.find(c.log), std::string::npos) << c.name << ": " << log;
    }

    // Not a Speex stream at all, and a file that is not Ogg.
    AddMemoryFixture("spx/vorbis.spx", EncodeVorbis(tone, 8000, 1));
    Bytes text(300, 'x');
    AddMemoryFixture("spx/text.spx", text);
    for (const char* name : {"spx/vorbis.spx", "spx/text.spx"}) {
        TSpeexDataSource source;
        bool ok = true;
        std::string log = Open(source, name, &ok);
        EXPECT_FALSE(ok) << name;
        EXPECT_NE(log.find("could not be read"), std::string::npos) << name;
    }
    TSpeexDataSource missing;
    EXPECT_FALSE(missing.InitFromFile("spx/none.spx"));
}

// The header reader brings a count below one to one and above two to two; the file decodes.
TEST_F(SpeexSourceTest, ChannelCountsOutOfRangeDecodeAsOneOrTwoChannels)
{
    Pcm tone = MakeTone(400.0, 0.3, 8000, 1);
    const struct
    {
        int32_t header;
        int channels;
    } cases[] = {{0, 1}, {-4, 1}, {5, 2}, {1 << 30, 2}};
    for (const auto& c : cases) {
        SpeexOptions o;
        o.headerChannels = c.header;
        str name = str::getFormatted("spx/channels%d.spx", c.header);
        AddMemoryFixture(name, EncodeSpeex(tone, o));
        TSpeexDataSource source;
        bool ok = false;
        Open(source, name.c_str(), &ok);
        ASSERT_TRUE(ok) << c.header;
        ASSERT_EQ(source.GetChannels(), c.channels) << c.header;
        Bytes pcm = ReadAll(source);
        const std::size_t frames = SampleCount(pcm) / c.channels;
        EXPECT_GE(frames, 2400u) << c.header;
        for (int channel = 0; channel < c.channels; ++channel)
            EXPECT_NEAR(ToneFrequency(Samples(pcm), frames, c.channels, channel, 8000), 400.0, 8.0) << c.header;
    }
}

TEST_F(SpeexSourceTest, TruncatedAndCorruptedAudioEndsEarlyWithoutCrashing)
{
    SpeexOptions o;
    o.waveSize = true;
    o.framesPerPacket = 2;
    Bytes good = EncodeSpeex(MakeTone(300.0, 1.0, 8000, 1), o);
    Bytes half(good.begin(), good.begin() + good.size() / 2);
    AddMemoryFixture("spx/half.spx", half);
    TSpeexDataSource source;
    ASSERT_TRUE(source.InitFromFile("spx/half.spx"));
    Bytes pcm = ReadAll(source);
    EXPECT_GT(pcm.size(), 4000u);
    EXPECT_LT(pcm.size(), 14000u);

    std::mt19937 rng(17);
    for (int round = 0; round < 40; ++round) {
        Bytes damaged = good;
        for (int flips = 0; flips < 12; ++flips)
            damaged[rng() % damaged.size()] ^= static_cast<unsigned char>(1u << (rng() % 8));
        str name = str::getFormatted("spx/flipped%d.spx", round);
        AddMemoryFixture(name, damaged);
        TSpeexDataSource flipped;
        testing::internal::CaptureStderr();
        if (flipped.InitFromFile(name)) {
            Bytes out = ReadAll(flipped, 3000);
            EXPECT_LE(out.size(), 16000u);
            Bytes some(500);
            flipped.Read(some.data(), 100, 500);
        }
        testing::internal::GetCapturedStderr();
    }
}

}  // namespace
