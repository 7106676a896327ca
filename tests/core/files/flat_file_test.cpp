// Flat-file archives: precedence, entry reads and damaged archives from the packer.

#include <cstring>

#include "core/files/archive_format.h"
#include "file_test_fixture.h"

namespace {

class FlatFileTest : public FileLayerTest
{
protected:
    static TArchiveSource Entry(const char* name, const std::string& bytes)
    {
        return TArchiveSource{name, std::vector<unsigned char>(bytes.begin(), bytes.end())};
    }

    std::vector<unsigned char> Pack(const std::vector<TArchiveSource>& sources)
    {
        std::vector<unsigned char> bytes;
        EXPECT_TRUE(BuildArchive(sources, bytes));
        return bytes;
    }

    // Scans with stderr captured; returns the log.
    static std::string ScanLogged()
    {
        testing::internal::CaptureStderr();
        TFile::ScanForResources();
        return testing::internal::GetCapturedStderr();
    }

    static void PutU32(std::vector<unsigned char>& b, size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
};

TEST_F(FlatFileTest, LaterArchiveWinsAndLooseFilesWinOverBoth)
{
    PutBytes("assets/a.zvp", Pack({Entry("images/door.png", "from a"), Entry("only_a.txt", "A")}));
    PutBytes("assets/b.zvp", Pack({Entry("images/door.png", "from b")}));
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("images/door.png"), "from b");
    EXPECT_EQ(Slurp("only_a.txt"), "A");

    Put("assets/images/door.png", "loose");
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("images/door.png"), "loose");
}

TEST_F(FlatFileTest, ArchiveNamesMatchCaseSensitivelyAnywhereInTheName)
{
    PutBytes("assets/x.zvp.bak", Pack({Entry("bak.txt", "bak")}));
    PutBytes("assets/Y.ZVP", Pack({Entry("upper.txt", "upper")}));
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("bak.txt"));
    EXPECT_FALSE(TFile::Exists("upper.txt"));
}

TEST_F(FlatFileTest, ArchivesOutsideTheAssetFolderAreNotRead)
{
    PutBytes("assets/sub/s.zvp", Pack({Entry("sub_entry.txt", "s")}));
    PutBytes("home/User Data/u.zvp", Pack({Entry("user_entry.txt", "u")}));
    TFile::ScanForResources();
    EXPECT_FALSE(TFile::Exists("sub_entry.txt"));
    EXPECT_FALSE(TFile::Exists("user_entry.txt"));
    EXPECT_TRUE(TFile::Exists("user:u.zvp"));
}

TEST_F(FlatFileTest, MixedCaseEntryNamesAreFoundInLowerCase)
{
    PutBytes("assets/data.zvp", Pack({Entry("Images/Door.PNG", "door")}));
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("images/door.png"), "door");
    EXPECT_EQ(Slurp("IMAGES/door.png"), "door");
}

TEST_F(FlatFileTest, ReadPastTheEntryEndIsClampedAndSeekClearsTheEndFlag)
{
    std::string data(95, 'x');
    data[90] = 'E';
    PutBytes("assets/data.zvp", Pack({Entry("first.bin", "ABC"), Entry("e.bin", data), Entry("last.bin", "ZZ")}));
    TFile::ScanForResources();
    TFile f;
    ASSERT_TRUE(f.Open("e.bin"));
    EXPECT_EQ(f.Size(), 95);
    f.Seek(90, kSeekStart);
    char buf[100];
    EXPECT_EQ(f.Read(buf, 100), 5u);
    EXPECT_EQ(buf[0], 'E');
    EXPECT_TRUE(f.AtEOF());
    EXPECT_EQ(f.Read(buf, 1), 0u);  // nothing of the next entry
    f.Seek(0, kSeekStart);
    EXPECT_FALSE(f.AtEOF());
    EXPECT_EQ(f.Read(buf, 1), 1u);
    EXPECT_EQ(buf[0], 'x');

    f.Seek(-1, kSeekStart);
    EXPECT_EQ(f.Tell(), 95);
    f.Seek(10, kSeekEnd);
    EXPECT_EQ(f.Tell(), 95);
    f.Seek(-2, kSeekEnd);
    EXPECT_EQ(f.Tell(), 93);
    f.Seek(1, kSeekCurrent);
    EXPECT_EQ(f.Tell(), 94);
}

TEST_F(FlatFileTest, TextModeDropsCarriageReturns)
{
    PutBytes("assets/data.zvp", Pack({Entry("t.txt", "a\r\nb")}));
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("t.txt", kFileReadText), "a\nb");
    EXPECT_EQ(Slurp("t.txt", kFileRead), "a\r\nb");
}

TEST_F(FlatFileTest, RepeatedUngetStaysInLineWithTheEntry)
{
    PutBytes("assets/data.zvp", Pack({Entry("pad", "--"), Entry("abc.txt", "abc")}));
    TFile::ScanForResources();
    TFile f;
    ASSERT_TRUE(f.Open("abc.txt"));
    char c;
    f.Read(&c, 1);
    f.Read(&c, 1);
    f.Unget();
    f.Unget();
    f.Unget();  // at the start: nothing
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.Read(&c, 1), 1u);
    EXPECT_EQ(c, 'a');
}

TEST_F(FlatFileTest, WritingOpensButWritesNothing)
{
    PutBytes("assets/data.zvp", Pack({Entry("w.txt", "keep")}));
    TFile::ScanForResources();
    TFile f;
    ASSERT_TRUE(f.Open("w.txt", kFileWrite));
    EXPECT_EQ(f.Write("new", 3), 0u);
    f.Close();
    EXPECT_EQ(Slurp("w.txt"), "keep");
}

TEST_F(FlatFileTest, SecondScanPointsAtTheLaterIndex)
{
    PutBytes("assets/data.zvp", Pack({Entry("e.txt", "e")}));
    TFile::ScanForResources();
    TFile::ScanForResources();
    EXPECT_EQ(TFlatFile::mFlatFiles.size(), 2u);
    EXPECT_EQ(std::string(TFile::TranslateResource("e.txt", true).c_str()).substr(0, 3), "@1:");
    EXPECT_EQ(Slurp("e.txt"), "e");
}

TEST_F(FlatFileTest, TruncatedArchiveIsSkippedWithALogLine)
{
    std::vector<unsigned char> bytes = Pack({Entry("a.txt", "aaaa"), Entry("b.txt", "bbbb")});
    // Cut inside the directory.
    bytes.resize(8 + 1 + 5 + 4);
    PutBytes("assets/cut.zvp", bytes);
    PutBytes("assets/good.zvp", Pack({Entry("good.txt", "good")}));
    std::string log = ScanLogged();
    EXPECT_NE(log.find("cut.zvp"), std::string::npos) << log;
    EXPECT_FALSE(TFile::Exists("a.txt"));
    EXPECT_EQ(Slurp("good.txt"), "good");
}

TEST_F(FlatFileTest, CountLargerThanTheFileIsRefusedAtOnce)
{
    std::vector<unsigned char> bytes = Pack({Entry("a.txt", "aaaa")});
    PutU32(bytes, 4, 0x7FFFFFFF);
    PutBytes("assets/huge.zvp", bytes);
    std::string log = ScanLogged();
    EXPECT_NE(log.find("larger than the file"), std::string::npos) << log;
    EXPECT_FALSE(TFile::Exists("a.txt"));
    EXPECT_TRUE(TFlatFile::mFlatFiles.empty());
}

TEST_F(FlatFileTest, EntryRunningPastTheEndIsSkippedAndTheOthersStay)
{
    std::vector<unsigned char> bytes = Pack({Entry("bad.txt", "bad"), Entry("ok.txt", "ok")});
    // First entry's length field: 8 + 1 + 7 + 4.
    PutU32(bytes, 8 + 1 + 7 + 4, 1000);
    PutBytes("assets/data.zvp", bytes);
    std::string log = ScanLogged();
    EXPECT_NE(log.find("bad.txt"), std::string::npos) << log;
    EXPECT_FALSE(TFile::Exists("bad.txt"));
    EXPECT_EQ(Slurp("ok.txt"), "ok");

    // An offset near 4 GiB must not wrap around the check.
    bytes = Pack({Entry("wrap.txt", "w")});
    PutU32(bytes, 8 + 1 + 8, 0xFFFFFFFF);
    PutBytes("assets/wrap.zvp", bytes);
    ScanLogged();
    EXPECT_FALSE(TFile::Exists("wrap.txt"));
}

TEST_F(FlatFileTest, NameWithoutItsBytesIsRefused)
{
    // Header, one entry whose length byte promises 200 name bytes that are not there.
    std::vector<unsigned char> bytes = {'Z', 'V', 'P', 'K', 1, 0, 0, 0, 200, 'a', 'b'};
    bytes.resize(bytes.size() + 8, 0);
    PutBytes("assets/short.zvp", bytes);
    std::string log = ScanLogged();
    EXPECT_NE(log.find("short.zvp"), std::string::npos) << log;
    EXPECT_TRUE(TFlatFile::mFlatFiles.empty());
}

TEST_F(FlatFileTest, WrongTagAndEmptyDirectoriesRegisterNothing)
{
    std::vector<unsigned char> bytes = Pack({Entry("a.txt", "a")});
    bytes[0] = 'X';
    PutBytes("assets/tag.zvp", bytes);
    PutBytes("assets/empty.zvp", {'Z', 'V', 'P', 'K', 0, 0, 0, 0});
    PutBytes("assets/tiny.zvp", {'Z', 'V'});
    std::string log = ScanLogged();
    EXPECT_NE(log.find("tag.zvp"), std::string::npos);
    EXPECT_NE(log.find("tiny.zvp"), std::string::npos);
    EXPECT_FALSE(TFile::Exists("a.txt"));
    EXPECT_EQ(TFlatFile::mFlatFiles.size(), 1u);  // the empty one is a valid archive
}

TEST_F(FlatFileTest, EntryCountWithTheTopBitSetIsADamagedHeader)
{
    const std::vector<std::pair<const char*, uint32_t>> cases = {{"top.zvp", 0x80000000u}, {"all.zvp", 0xFFFFFFFFu}};
    for (const auto& [name, count] : cases) {
        std::vector<unsigned char> bytes = Pack({Entry("a.txt", "a")});
        PutU32(bytes, 4, count);
        PutBytes(std::string("assets/") + name, bytes);
    }
    const std::string log = ScanLogged();
    for (const auto& [name, count] : cases)
        EXPECT_NE(log.find(std::string(name) + " skipped: damaged header"), std::string::npos) << log;
    EXPECT_TRUE(TFlatFile::mFlatFiles.empty());
}

TEST_F(FlatFileTest, EntryWithAnEmbeddedZeroInItsNameIsSkipped)
{
    std::vector<unsigned char> bytes = Pack({Entry("ab", "x"), Entry("ok", "y")});
    bytes[8 + 1 + 1] = 0;  // "a\0"
    PutBytes("assets/zero.zvp", bytes);
    ScanLogged();
    EXPECT_FALSE(TFile::Exists("a"));
    EXPECT_EQ(Slurp("ok"), "y");
}

TEST_F(FlatFileTest, ArchiveShrunkAfterTheScanFailsToOpenTheEntry)
{
    std::vector<unsigned char> bytes = Pack({Entry("big.bin", std::string(100, 'b'))});
    PutBytes("assets/data.zvp", bytes);
    TFile::ScanForResources();
    bytes.resize(50);
    PutBytes("assets/data.zvp", bytes);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Slurp("big.bin"), "<missing>");
    testing::internal::GetCapturedStderr();
}

TEST_F(FlatFileTest, ForgedReferencesDoNotOpen)
{
    TFlatFile f;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.Open("@5:0,10", kFileRead));
    EXPECT_FALSE(f.Open("@x", kFileRead));
    EXPECT_FALSE(f.Open("", kFileRead));
    testing::internal::GetCapturedStderr();
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0u);
}

TEST_F(FlatFileTest, PackerRefusesNamesItCannotStore)
{
    std::vector<unsigned char> bytes;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(BuildArchive({Entry("", "x")}, bytes));
    std::string longName(256, 'n');
    EXPECT_FALSE(BuildArchive({TArchiveSource{longName.c_str(), {}}}, bytes));
    testing::internal::GetCapturedStderr();
    longName.resize(255);
    EXPECT_TRUE(BuildArchive({TArchiveSource{longName.c_str(), {}}}, bytes));
}

TEST_F(FlatFileTest, WrittenArchiveReadsBackThroughTheDirectoryReader)
{
    const std::string path = root + "/out.zvp";
    ASSERT_TRUE(WriteArchive(path.c_str(), {Entry("One.txt", "1"), Entry("dir/two.txt", "22")}));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    TFile f;
    ASSERT_TRUE(f.Open(("::" + path).c_str()));
    std::vector<TArchiveEntry> entries;
    ASSERT_TRUE(ReadArchiveDirectory(f, "out.zvp", entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[1].name.c_str(), "dir/two.txt");
    EXPECT_EQ(entries[1].length, 2u);
    EXPECT_EQ(entries[1].offset, entries[0].offset + 1);
}

}  // namespace
