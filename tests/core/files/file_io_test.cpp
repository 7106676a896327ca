// Reading, writing and seeking through TFile, the zv_ layer and the decoder callbacks.

#include <cstdio>
#include <cstring>

#include "core/files/archive_format.h"
#include "file_test_fixture.h"

namespace {

using FileIoTest = FileLayerTest;

// Binary readers ask before each record, so every kind of file must report its end as soon as
// the last byte is read, not only after a read comes back short.
TEST_F(FileIoTest, EveryKindOfFileIsAtItsEndBeforeAShortRead)
{
    static const char kTen[] = "0123456789";
    Put("assets/loose.bin", kTen);
    Put("assets/empty.bin", "");
    std::vector<unsigned char> archive;
    ASSERT_TRUE(BuildArchive({TArchiveSource{"packed.bin", std::vector<unsigned char>(kTen, kTen + 10)},
                              TArchiveSource{"after.bin", {'x', 'y'}}},
                             archive));
    PutBytes("assets/data.zvp", archive);
    TFile::ScanForResources();
    TFile::AddMemoryFile("memory.bin", kTen, 10);

    for (const char* name : {"loose.bin", "packed.bin", "memory.bin"}) {
        for (eFileMode mode : {kFileRead, kFileReadText}) {
            TFile f;
            ASSERT_TRUE(f.Open(name, mode)) << name;
            char record[5];
            EXPECT_FALSE(f.AtEOF()) << name;
            EXPECT_EQ(f.Read(record, 5), 5u) << name;
            EXPECT_FALSE(f.AtEOF()) << name;
            EXPECT_EQ(f.Read(record, 5), 5u) << name;
            EXPECT_TRUE(f.AtEOF()) << name << " mode " << mode;
            EXPECT_EQ(zv_getc(&f), -1) << name;
            // Asking reads nothing: stepping back still gives the last byte.
            f.Unget();
            EXPECT_FALSE(f.AtEOF()) << name;
            EXPECT_EQ(f.Read(record, 1), 1u) << name;
            EXPECT_EQ(record[0], '9') << name;
            f.Seek(8, kSeekStart);
            EXPECT_FALSE(f.AtEOF()) << name;
            EXPECT_EQ(f.Tell(), 8) << name;
            EXPECT_EQ(f.Read(record, 5), 2u) << name;
            EXPECT_TRUE(f.AtEOF()) << name;
        }
    }
    TFile empty;
    ASSERT_TRUE(empty.Open("empty.bin"));
    EXPECT_TRUE(empty.AtEOF());
}

TEST_F(FileIoTest, ReadsAndSeeksAtTheEnds)
{
    Put("assets/ten.bin", "0123456789");
    TFile::ScanForResources();
    TFile f;
    ASSERT_TRUE(f.Open("ten.bin"));
    EXPECT_EQ(f.Size(), 10);
    char buf[32] = {};
    EXPECT_EQ(f.Read(buf, 4), 4u);
    EXPECT_EQ(f.Tell(), 4);
    EXPECT_EQ(f.Read(buf, 100), 6u);
    EXPECT_STREQ(buf, "456789");
    EXPECT_EQ(f.Read(buf, 1), 0u);
    EXPECT_TRUE(f.AtEOF());

    f.Seek(-3, kSeekEnd);
    EXPECT_EQ(f.Tell(), 7);
    EXPECT_FALSE(f.AtEOF());
    f.Seek(1, kSeekCurrent);
    EXPECT_EQ(f.Read(buf, 5), 2u);
    f.Seek(0, kSeekStart);
    EXPECT_EQ(f.Read(buf, 1), 1u);
    EXPECT_EQ(buf[0], '0');
    // Size leaves the position alone.
    EXPECT_EQ(f.Size(), 10);
    EXPECT_EQ(f.Tell(), 1);
}

TEST_F(FileIoTest, UngetStepsBackOnceAfterARead)
{
    Put("assets/ab.txt", "ab");
    TFile::ScanForResources();
    TFile f;
    ASSERT_TRUE(f.Open("ab.txt"));
    char c = 0;
    f.Read(&c, 1);
    f.Read(&c, 1);
    f.Unget();
    f.Unget();  // no read in between: nothing
    EXPECT_EQ(f.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'b');
}

TEST_F(FileIoTest, FileWithoutDataAnswersSafely)
{
    TFile f;
    char buf[4];
    EXPECT_FALSE(f.IsValid());
    EXPECT_EQ(f.Read(buf, 4), 0u);
    EXPECT_EQ(f.Write(buf, 4), 0u);
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), 0);
    EXPECT_TRUE(f.AtEOF());
    f.Seek(3, kSeekStart);
    f.Unget();
    EXPECT_FALSE(f.Open("no/such/file.png"));
    EXPECT_FALSE(f.Open(""));
    EXPECT_EQ(zv_open("missing", kFileRead), nullptr);
    EXPECT_EQ(zv_error(nullptr), 1);
    EXPECT_EQ(zv_getc(nullptr), -1);
}

TEST_F(FileIoTest, AppendAddsToTheEnd)
{
    TFile f;
    ASSERT_TRUE(f.Open("user:log.txt", kFileWrite));
    f.Write("one", 3);
    f.Close();
    ASSERT_TRUE(f.Open("user:log.txt", kFileAppend));
    f.Write("two", 3);
    f.Close();
    EXPECT_EQ(Slurp("user:log.txt"), "onetwo");
}

TEST_F(FileIoTest, GetcReturnsBytesAsUnsignedThenEnd)
{
    Put("assets/one.bin", "\xff");
    TFile::ScanForResources();
    TFile* f = zv_open("one.bin", kFileRead);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(zv_error(f), 0);
    EXPECT_EQ(zv_getc(f), 0xFF);
    EXPECT_EQ(zv_getc(f), -1);
    EXPECT_TRUE(zv_eof(f));
    zv_close(f);
}

TEST_F(FileIoTest, GetsSplitsAtEachLineEndAndKeepsALastLineWithoutOne)
{
    Put("assets/lines.txt", "ab\r\ncd");
    TFile::ScanForResources();
    TFile* f = zv_open("lines.txt", kFileRead);
    ASSERT_NE(f, nullptr);
    char buf[64];
    char* end = zv_gets(f, buf, sizeof buf);
    ASSERT_NE(end, nullptr);
    EXPECT_STREQ(buf, "ab\r");
    EXPECT_EQ(end, buf + 3);  // the address of the terminating zero
    ASSERT_NE(zv_gets(f, buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "\n");
    ASSERT_NE(zv_gets(f, buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "cd");
    EXPECT_EQ(zv_gets(f, buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "");
    zv_close(f);
}

TEST_F(FileIoTest, GetsStopsAtTheBufferSize)
{
    Put("assets/long.txt", "abcdef");
    TFile::ScanForResources();
    TFile* f = zv_open("long.txt", kFileRead);
    ASSERT_NE(f, nullptr);
    char buf[4];
    ASSERT_NE(zv_gets(f, buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(zv_gets(f, buf, 1), nullptr);  // room for the terminator only
    EXPECT_EQ(zv_gets(f, buf, 0), nullptr);
    zv_close(f);
}

TEST_F(FileIoTest, DecoderReadCallbackLeavesAPartialElementForTheNextCall)
{
    Put("assets/seven.bin", "1234567");
    TFile::ScanForResources();
    TFile* f = zv_open("seven.bin", kFileRead);
    ASSERT_NE(f, nullptr);
    char buf[16] = {};
    EXPECT_EQ(zv_read_func(buf, 2, 5, f), 3u);  // 7 bytes: three whole pairs
    EXPECT_EQ(zv_tell_func(f), 6);
    EXPECT_EQ(zv_read_func(buf, 2, 5, f), 0u);
    EXPECT_EQ(zv_tell_func(f), 6);
    EXPECT_EQ(zv_read_func(buf, 0, 5, f), 0u);

    EXPECT_EQ(zv_seek_func(f, -2, SEEK_END), 0);
    EXPECT_EQ(zv_tell_func(f), 5);
    EXPECT_EQ(zv_seek_func(f, 1, SEEK_SET), 0);
    EXPECT_EQ(zv_seek_func(f, 2, SEEK_CUR), 0);
    EXPECT_EQ(zv_tell_func(f), 3);
    EXPECT_EQ(zv_read_func(buf, 1, 100, f), 4u);
    EXPECT_EQ(std::memcmp(buf, "4567", 4), 0);
    EXPECT_EQ(zv_close_func(f), 0);
}

TEST_F(FileIoTest, ModesOutsideTheTableReadTheFile)
{
    Put("assets/a.txt", "a");
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("a.txt", static_cast<eFileMode>(9)), "a");
    EXPECT_FALSE(std::filesystem::exists(root + "/home"));
}

TEST_F(FileIoTest, DiskFilesKeepCarriageReturnsInTextMode)
{
    Put("assets/crlf.txt", "a\r\nb");
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("crlf.txt", kFileReadText), "a\r\nb");
}

}  // namespace
