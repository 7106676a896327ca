// The spooler's buffer fills, and how a stream's refill reacts to a source running out.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sound/manager/loopback_fixture.h"
#include "sound/manager/sound_stream.h"
#include "sound/manager/stream_spooler.h"
#include "sound/sources/sound_data_source.h"

namespace soundtest {
namespace {

unsigned char PatternByte(uint64_t i)
{
    return static_cast<unsigned char>((i * 7 + 3) & 0xFF);
}

// `length` bytes of a known pattern; claims `claimed` bytes (a header may lie).
class PatternSource : public TSoundDataSource
{
public:
    PatternSource(unsigned length, uint64_t claimed, int channels = 1, int rate = 8000)
        : mLength(length), mClaimed(claimed), mChannels(channels), mRate(rate)
    {
    }
    unsigned int Read(void* dst, unsigned int offset, unsigned int length) override
    {
        ++reads;
        if (offset >= mLength)
            return 0;
        unsigned n = std::min(length, mLength - offset);
        auto* out = static_cast<unsigned char*>(dst);
        for (unsigned i = 0; i < n; ++i)
            out[i] = PatternByte(offset + i);
        return n;
    }
    uint64_t GetRawLength() override { return mClaimed; }
    int GetBitRate() override { return mRate; }
    int GetChannels() override { return mChannels; }
    double GetSeconds() override { return double(mLength) / (2.0 * mChannels * mRate); }

    int reads = 0;

private:
    unsigned mLength;
    uint64_t mClaimed;
    int mChannels;
    int mRate;
};

std::vector<unsigned char> Dirty(size_t n)
{
    return std::vector<unsigned char>(n, 0xAA);
}

TEST(StreamSpooler, FillsInOrderThenZeroFillsAndReportsTheEnd)
{
    TStreamSpooler spooler(std::make_shared<PatternSource>(100, 100));
    auto buffer = Dirty(64);
    unsigned written = 99;

    EXPECT_TRUE(spooler.StreamToBuffer(64, buffer.data(), &written, false));
    EXPECT_EQ(written, 64u);
    for (unsigned i = 0; i < 64; ++i)
        ASSERT_EQ(buffer[i], PatternByte(i)) << i;

    buffer = Dirty(64);
    EXPECT_FALSE(spooler.StreamToBuffer(64, buffer.data(), &written, false)) << "the end, not looping";
    EXPECT_EQ(written, 36u);
    for (unsigned i = 0; i < 36; ++i)
        ASSERT_EQ(buffer[i], PatternByte(64 + i)) << i;
    for (unsigned i = 36; i < 64; ++i)
        ASSERT_EQ(buffer[i], 0) << "the rest is silence, not stale bytes: " << i;

    buffer = Dirty(64);
    EXPECT_FALSE(spooler.StreamToBuffer(64, buffer.data(), &written, false));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(buffer[0], 0);

    spooler.Reset();
    EXPECT_EQ(spooler.GetPosition(), 0u);
    EXPECT_TRUE(spooler.StreamToBuffer(10, buffer.data(), &written, false));
    EXPECT_EQ(buffer[0], PatternByte(0)) << "rewound to the first byte";
}

TEST(StreamSpooler, LoopingWrapsInsideOneFill)
{
    TStreamSpooler spooler(std::make_shared<PatternSource>(100, 100));
    auto buffer = Dirty(256);
    unsigned written = 0;
    EXPECT_TRUE(spooler.StreamToBuffer(256, buffer.data(), &written, true));
    EXPECT_EQ(written, 256u) << "no gap where the loop wraps";
    for (unsigned i = 0; i < 256; ++i)
        ASSERT_EQ(buffer[i], PatternByte(i % 100)) << i;
    EXPECT_EQ(spooler.GetPosition(), 56u);
}

TEST(StreamSpooler, ShortReadsEndTheSoundAndEmptySourcesDoNotSpin)
{
    // A source that claims more than it yields (an unknown length) ends where its reads do.
    TStreamSpooler shortSource(std::make_shared<PatternSource>(50, 2147483647u));
    auto buffer = Dirty(128);
    unsigned written = 0;
    EXPECT_FALSE(shortSource.StreamToBuffer(128, buffer.data(), &written, false));
    EXPECT_EQ(written, 50u);
    EXPECT_EQ(buffer[49], PatternByte(49));
    EXPECT_EQ(buffer[50], 0);

    // Looping over a source with nothing in it must return rather than loop for ever.
    auto empty = std::make_shared<PatternSource>(0, 0);
    TStreamSpooler emptyLoop(empty);
    buffer = Dirty(128);
    EXPECT_TRUE(emptyLoop.StreamToBuffer(128, buffer.data(), &written, true));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_LT(empty->reads, 4);

    // So must a looping source that claims bytes it never yields.
    auto liar = std::make_shared<PatternSource>(0, 1000);
    TStreamSpooler liarLoop(liar);
    EXPECT_TRUE(liarLoop.StreamToBuffer(128, buffer.data(), &written, true));
    EXPECT_EQ(written, 0u);
    EXPECT_LT(liar->reads, 4);

    // Nothing to fill, or nothing to read from.
    EXPECT_TRUE(shortSource.StreamToBuffer(0, buffer.data(), &written, false));
    EXPECT_EQ(written, 0u);
    TStreamSpooler none(nullptr);
    buffer = Dirty(16);
    EXPECT_TRUE(none.StreamToBuffer(16, buffer.data(), &written, false));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(buffer[15], 0);
    EXPECT_FLOAT_EQ(none.GetLength(), 0.0f);
}

TEST(StreamSpooler, PositionFromATimeLandsOnAFrameInsideTheSound)
{
    // Stereo at 10 Hz: 4 bytes a frame, 40 bytes a second.
    TStreamSpooler spooler(std::make_shared<PatternSource>(100, 100, 2, 10));
    spooler.SetPosition(1.0f);
    EXPECT_EQ(spooler.GetPosition(), 40u);
    spooler.SetPosition(5.0f);
    EXPECT_EQ(spooler.GetPosition(), 100u) << "not past the end";
    spooler.SetPosition(-1.0f);
    EXPECT_EQ(spooler.GetPosition(), 0u);
    EXPECT_FLOAT_EQ(spooler.GetLength(), 2.5f);
}

using StreamRefillTest = LoopbackTest;

TEST_F(StreamRefillTest, SoundShorterThanABufferIsExhaustedAtOnceAndCompletesWhenPlayed)
{
    // 0.1 s of mono 44.1 kHz is 8820 bytes: all of it goes into the first buffer.
    auto sound = Tone("refill_short", 0.1);
    auto instance = sound->Play(false);
    ASSERT_TRUE(instance);
    TSoundStream* stream = instance->GetStream();
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(stream->GetData().IsExhausted()) << "the second read found nothing";
    EXPECT_FALSE(stream->StreamComplete()) << "the first buffer is still queued";

    Render(8192);
    EXPECT_FALSE(instance->IsPlaying()) << "complete once the queued buffer played out";
    EXPECT_EQ(mManager->StreamCount(), 0u);
}

TEST_F(StreamRefillTest, LoopingSoundIsNeverExhausted)
{
    auto sound = Tone("refill_loop", 0.1);
    auto instance = sound->Play(true);
    ASSERT_TRUE(instance);
    Render(44100 / 2);
    ASSERT_TRUE(instance->IsPlaying());
    EXPECT_FALSE(instance->GetStream()->GetData().IsExhausted());
    EXPECT_FALSE(instance->GetStream()->StreamComplete());
    sound->Kill();
}

}  // namespace
}  // namespace soundtest
