// The binary reader: byte orders, counted strings, short reads and the file handle's states.

#include "game/world/datafile/dfile.h"

#include <gtest/gtest.h>

#include "common/log_capture.h"
#include "game/world/mesh_fixture.h"

namespace {

struct ReadCase
{
    std::vector<unsigned char> bytes;
    uint32_t (DFileBase::*read)();
    uint32_t expected;
};

TEST(DFileTFile, ReadsEachByteOrder)
{
    const ReadCase cases[] = {
        {{0x01, 0x02, 0x03, 0x04}, &DFileBase::Get32LH, 0x04030201},
        {{0x01, 0x02, 0x03, 0x04}, &DFileBase::Get32HL, 0x01020304},
        {{0x01, 0x02}, &DFileBase::Get16LH, 0x0201},
        {{0xFF, 0xFF}, &DFileBase::Get16LH, 65535},
        {{0x56, 0x45, 0x52, 0x54}, &DFileBase::Get32HL, 0x56455254},
        {{0xFF, 0xFF, 0xFF, 0xFF}, &DFileBase::Get32LH, 0xFFFFFFFF},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "dfile/read" + std::to_string(n++);
        ServeBytes(name, c.bytes);
        DFileTFile f;
        ASSERT_TRUE(f.Open(str(name.c_str()), 1));
        EXPECT_EQ((f.*c.read)(), c.expected) << name;
        EXPECT_FALSE(f.ReadFailed()) << name;
    }
}

TEST(DFileTFile, CountedStrings)
{
    const struct
    {
        std::vector<unsigned char> bytes;
        std::string text;
        bool failed;
        int64_t endsAt;
    } cases[] = {
        {{0x03, 0x00, 'a', 'b', 'c', 'z'}, "abc", false, 5},
        {{0x00, 0x00, 'z'}, "", false, 2},
        {{0x05, 0x00, 'a', 'b'}, "ab", true, 4},  // cut short
        {{0xFF, 0xFF, 'a'}, "a", true, 3},        // a length far beyond the data
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "dfile/pstring" + std::to_string(n++);
        ServeBytes(name, c.bytes);
        DFileTFile f;
        ASSERT_TRUE(f.Open(str(name.c_str()), 0));
        const str text = f.GetPstring();
        EXPECT_EQ(std::string(text.c_str(), text.length()).substr(0, c.text.size()), c.text) << name;
        EXPECT_EQ(f.ReadFailed(), c.failed) << name;
        EXPECT_EQ(f.Tell(), c.endsAt) << name;
    }
}

TEST(DFileTFile, ShortReadGivesZerosAndIsRemembered)
{
    ServeBytes("dfile/short", {0x01, 0x02, 0x03});
    DFileTFile f;
    ASSERT_TRUE(f.Open("dfile/short", 1));
    EXPECT_EQ(f.Get32LH(), 0x00030201u);
    EXPECT_TRUE(f.ReadFailed());
    // A new Open starts clean.
    ASSERT_TRUE(f.Open("dfile/short", 1));
    EXPECT_EQ(f.Get16LH(), 0x0201u);
    EXPECT_FALSE(f.ReadFailed());
}

TEST(DFileTFile, OpenStates)
{
    ServeBytes("dfile/first", std::vector<unsigned char>(100, 7));
    DFileTFile f;
    EXPECT_TRUE(f.AtEnd());
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), 0);
    EXPECT_FALSE(f.IsOpen());

    ASSERT_TRUE(f.Open("dfile/first", 1));
    EXPECT_EQ(f.GetMode(), 1);
    EXPECT_EQ(f.Size(), 100);
    EXPECT_TRUE(f.SeekForward(0));
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_TRUE(f.SetLength(10));
    EXPECT_EQ(f.Tell(), 10);
    EXPECT_EQ(f.Size(), 100);
    EXPECT_TRUE(f.SeekForward(5));
    EXPECT_EQ(f.Tell(), 15);
    EXPECT_TRUE(f.Seek(99));

    TLogCapture log;
    EXPECT_FALSE(f.Open("dfile/missing", 1));
    EXPECT_NE(log.Text().find("Failed to open (dfile/missing)"), std::string::npos);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(f.AtEnd());
    EXPECT_EQ(f.Tell(), -1);
}

}  // namespace
