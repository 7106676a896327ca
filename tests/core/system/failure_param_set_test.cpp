#include "core/system/failure.h"
#include "core/system/param_set.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Failure, DefaultWritesFileLineAndMessage)
{
    TFailure f;
    testing::internal::CaptureStderr();
    f.Failure("bad index 3", 42, "particles.cpp");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "particles.cpp(42): bad index 3\n");
}

struct ParamSetFixture : testing::Test
{
    void SetUp() override
    {
        set.mSizes = sizes;
        set.mValues = values;
    }
    uint8_t sizes[TParamSet::kSlots] = {};
    uint32_t values[64] = {};
    TParamSet set;
};

TEST_F(ParamSetFixture, LaysOutSlots)
{
    const uint8_t layout[] = {3, 1};
    EXPECT_TRUE(set.ResetPartial(0, layout, 2));
    EXPECT_EQ(set.mUsed, 2u);
    EXPECT_EQ(set.mOffsets[0], 0u);
    EXPECT_EQ(set.mOffsets[1], 3u);
    EXPECT_EQ(set.mOffsets[2], 4u);
    EXPECT_EQ(sizes[0], 3);
    EXPECT_EQ(sizes[1], 1);

    // A later stretch keeps the earlier slots.
    const uint8_t more[] = {2, 5};
    EXPECT_TRUE(set.ResetPartial(2, more, 2));
    EXPECT_EQ(set.mUsed, 4u);
    EXPECT_EQ(set.mOffsets[1], 3u);
    EXPECT_EQ(set.mOffsets[3], 6u);
    EXPECT_EQ(set.mOffsets[4], 11u);
    EXPECT_EQ(sizes[3], 5);
}

TEST_F(ParamSetFixture, CountZeroOnlySetsUsed)
{
    const uint8_t layout[] = {3, 1};
    set.ResetPartial(0, layout, 2);
    EXPECT_TRUE(set.ResetPartial(1, nullptr, 0));
    EXPECT_EQ(set.mUsed, 1u);
    EXPECT_EQ(set.mOffsets[2], 4u);
    EXPECT_EQ(sizes[1], 1);
}

TEST_F(ParamSetFixture, OwnSizeArrayIsUsedInPlace)
{
    sizes[0] = 2;
    sizes[1] = 2;
    sizes[2] = 7;
    EXPECT_TRUE(set.ResetPartial(0, sizes, 3));
    EXPECT_EQ(set.mOffsets[3], 11u);
}

TEST_F(ParamSetFixture, RangePastTheTableIsRefused)
{
    const uint8_t layout[] = {1, 1};
    set.ResetPartial(0, layout, 2);
    uint8_t big[256];
    for (auto& b : big)
        b = 1;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(set.ResetPartial(254, big, 2));
    EXPECT_FALSE(set.ResetPartial(0, big, 256));
    EXPECT_FALSE(set.ResetPartial(300, big, 0));
    EXPECT_FALSE(set.ResetPartial(1, big, 0xFFFFFFFFu));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ResetPartial"), std::string::npos);
    EXPECT_EQ(set.mUsed, 2u);
    EXPECT_EQ(set.mOffsets[255], 0u);

    // The largest allowed stretch writes the very last offset.
    EXPECT_TRUE(set.ResetPartial(0, big, 255));
    EXPECT_EQ(set.mOffsets[255], 255u);
    EXPECT_EQ(set.mUsed, 255u);
}

TEST_F(ParamSetFixture, MissingSizeArrayIsRefused)
{
    TParamSet bare;
    const uint8_t layout[] = {1};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(bare.ResetPartial(0, layout, 1));
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
}

}  // namespace
