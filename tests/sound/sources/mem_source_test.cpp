#include <gtest/gtest.h>

#include <cstring>

#include "sound/sources/mem_data_source.h"

namespace {

// A source that claims more data than it has, as a damaged file's header can.
class LyingSource : public TSoundDataSource
{
public:
    LyingSource(uint64_t claimed, unsigned actual) : mClaimed(claimed), mActual(actual) {}
    unsigned int Read(void* dst, unsigned int offset, unsigned int length) override
    {
        if (offset >= mActual)
            return 0;
        unsigned n = std::min(length, mActual - offset);
        auto* out = static_cast<unsigned char*>(dst);
        for (unsigned i = 0; i < n; ++i)
            out[i] = static_cast<unsigned char>((offset + i) * 7);
        return n;
    }
    uint64_t GetRawLength() override { return mClaimed; }
    int GetBitRate() override { return 11025; }
    int GetChannels() override { return 2; }
    double GetSeconds() override { return 1.25; }

private:
    uint64_t mClaimed;
    unsigned mActual;
};

TEST(MemDataSource, KeepsWhatTheSourceYieldsAndReadsWithinIt)
{
    auto source = std::make_shared<LyingSource>(uint64_t(1) << 40, 100000);
    TMemDataSource mem(source);
    EXPECT_EQ(mem.GetRawLength(), 100000u) << "a huge claimed length costs only what decodes";
    EXPECT_EQ(mem.GetChannels(), 2);
    EXPECT_EQ(mem.GetBitRate(), 11025);
    EXPECT_DOUBLE_EQ(mem.GetSeconds(), 1.25);

    unsigned char buffer[64];
    EXPECT_EQ(mem.Read(buffer, 99990, 64), 10u);
    EXPECT_EQ(buffer[0], static_cast<unsigned char>(99990 * 7));
    EXPECT_EQ(mem.Read(buffer, 100000, 64), 0u);
    EXPECT_EQ(mem.Read(buffer, 0xFFFFFFF0u, 64), 0u) << "an offset past the end reads nothing";
    EXPECT_EQ(mem.Read(buffer, 5, 64), 64u);
    EXPECT_EQ(buffer[63], static_cast<unsigned char>(68 * 7));
}

TEST(MemDataSource, ShorterClaimCutsTheData)
{
    auto source = std::make_shared<LyingSource>(1000, 5000);
    TMemDataSource mem(source);
    EXPECT_EQ(mem.GetRawLength(), 1000u);
    TMemDataSource none(nullptr);
    unsigned char b[4];
    EXPECT_EQ(none.Read(b, 0, 4), 0u);
    EXPECT_EQ(none.GetRawLength(), 0u);
}

}  // namespace
