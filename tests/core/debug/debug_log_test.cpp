#include "core/debug/debug_log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(DebugLog, WritesOneLinePerCall)
{
    testing::internal::CaptureStderr();
    WriteDbg("%s, version %s.", "game", "1.0");
    WriteDbg("%s", "");
    WriteDbg("ends with break\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "game, version 1.0.\n\nends with break\n\n");
}

TEST(DebugLog, FormatsAnyLength)
{
    std::string big(20000, 'k');
    testing::internal::CaptureStderr();
    WriteDbg("<%s>%d", big.c_str(), 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "<" + big + ">5\n");
}

TEST(DebugLog, LinesOfTwoThreadsNeverMix)
{
    const std::string a(3000, 'a'), b(3000, 'b');
    testing::internal::CaptureStderr();
    std::thread ta([&] {
        for (int i = 0; i < 50; ++i)
            WriteDbg("%s", a.c_str());
    });
    std::thread tb([&] {
        for (int i = 0; i < 50; ++i)
            WriteDbg("%s", b.c_str());
    });
    ta.join();
    tb.join();
    std::string out = testing::internal::GetCapturedStderr();
    int as = 0, bs = 0;
    size_t pos = 0;
    while (pos < out.size()) {
        size_t end = out.find('\n', pos);
        ASSERT_NE(end, std::string::npos);
        std::string line = out.substr(pos, end - pos);
        if (line == a)
            ++as;
        else if (line == b)
            ++bs;
        else
            ADD_FAILURE() << "mixed line of length " << line.size();
        pos = end + 1;
    }
    EXPECT_EQ(as, 50);
    EXPECT_EQ(bs, 50);
}

TEST(DebugLog, CountersReportNoTracking)
{
    ResetDbg("/nonexistent");
    EXPECT_EQ(zvGetTotalAllocated(), 0u);
    EXPECT_EQ(zvGetMaxAllocated(), 0u);
}

}  // namespace
