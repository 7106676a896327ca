// Memory files, folder listings and the character readers.

#include <algorithm>

#include "core/files/archive_format.h"
#include "core/files/directory_search.h"
#include "core/files/get_char.h"
#include "core/files/memory_file.h"
#include "file_test_fixture.h"

namespace {

using MemoryFileTest = FileLayerTest;

TEST_F(MemoryFileTest, ReadsInPiecesToTheEndThenUngetSteps)
{
    static const char kTen[] = "0123456789";
    TFile::AddMemoryFile("Ten.BIN", kTen, 10);
    TFile f;
    ASSERT_TRUE(f.Open("ten.bin"));
    char buf[8];
    EXPECT_EQ(f.Read(buf, 4), 4u);
    EXPECT_EQ(f.Read(buf, 4), 4u);
    EXPECT_FALSE(f.AtEOF());
    EXPECT_EQ(f.Read(buf, 4), 2u);
    EXPECT_TRUE(f.AtEOF());
    f.Unget();
    EXPECT_EQ(f.Tell(), 9);
    EXPECT_EQ(f.Read(buf, 1), 1u);
    EXPECT_EQ(buf[0], '9');
    EXPECT_EQ(f.Read(buf, ~0ul), 0u);  // a huge count does not wrap

    f.Seek(-5, kSeekStart);
    EXPECT_EQ(f.Tell(), 10);
    f.Seek(-4, kSeekEnd);
    EXPECT_EQ(f.Tell(), 6);
    f.Seek(2, kSeekCurrent);
    EXPECT_EQ(f.Tell(), 8);
    f.Seek(0, kSeekStart);
    f.Unget();  // nothing before the start
    EXPECT_EQ(f.Tell(), 0);
}

TEST_F(MemoryFileTest, TextModeDropsCarriageReturns)
{
    static const char kText[] = "a\r\n";
    TFile::AddMemoryFile("t.txt", kText, 3);
    TFile f;
    ASSERT_TRUE(f.Open("t.txt", kFileReadText));
    char buf[8];
    EXPECT_EQ(f.Read(buf, 8), 2u);
    EXPECT_EQ(buf[0], 'a');
    EXPECT_EQ(buf[1], '\n');
    EXPECT_EQ(f.Read(buf, 8), 0u);
}

TEST_F(MemoryFileTest, WritingIsRefusedAndRemovalWorksInAnyCase)
{
    static const char kData[] = "abc";
    TFile::AddMemoryFile("Cursor.PNG", kData, 3);
    TFile f;
    EXPECT_FALSE(f.Open("cursor.png", kFileWrite));
    EXPECT_FALSE(f.Open("cursor.png", kFileAppend));
    EXPECT_TRUE(f.Open("cursor.png", kFileRead));
    EXPECT_EQ(f.Write("x", 1), 0u);
    f.Close();
    TFile::AddMemoryFile("Cursor.PNG", nullptr, 0);
    EXPECT_FALSE(f.Open("cursor.png"));
}

TEST_F(MemoryFileTest, ReferencesNameBlocksByNumberNotAddress)
{
    static const char kA[] = "A";
    static const char kB[] = "BB";
    TFile::AddMemoryFile("a", kA, 1);
    TFile::AddMemoryFile("b", kB, 2);
    TFile::AddMemoryFile("a2", kA, 1);
    str refA = TFile::TranslateResource("a", true);
    str refB = TFile::TranslateResource("b", true);
    EXPECT_EQ(refA[0], '&');
    EXPECT_EQ(refA, TFile::TranslateResource("a2", true));
    EXPECT_NE(refA, refB);
    EXPECT_LT(refB.length(), 8u);
    EXPECT_EQ(Slurp("b"), "BB");

    TMemoryFile m;
    EXPECT_FALSE(m.Open("&0,1", kFileRead));
    EXPECT_FALSE(m.Open("&99999,1", kFileRead));
    EXPECT_FALSE(m.Open("&1", kFileRead));
    // A size larger than the registered block is cut to the block.
    ASSERT_TRUE(m.Open(str("&") + refB.substr(1, static_cast<int>(refB.find(',')) - 1) + ",1000", kFileRead));
    EXPECT_EQ(m.Size(), 2);
}

TEST_F(MemoryFileTest, FolderListingReportsFoldersOnlyWhenAsked)
{
    Put("list/f1.txt", "");
    Put("list/sub/f2.txt", "");
    std::vector<std::string> names;
    {
        TDirectorySearch search((root + "/list").c_str());
        str name;
        bool folder = false;
        while (search.GetNextFile(&name, &folder))
            names.push_back(std::string(name.c_str()) + (folder ? "/" : ""));
        EXPECT_FALSE(search.GetNextFile(&name, &folder));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"f1.txt", "sub/"}));

    std::filesystem::create_directories(root + "/only/a");
    std::filesystem::create_directories(root + "/only/b");
    TDirectorySearch folders((root + "/only").c_str());
    str name;
    EXPECT_FALSE(folders.GetNextFile(&name, nullptr));

    TDirectorySearch missing((root + "/nowhere").c_str());
    EXPECT_FALSE(missing.GetNextFile(&name, nullptr));
}

TEST_F(MemoryFileTest, LinkToAFolderIsNotWalkedInto)
{
    Put("assets/a/file.txt", "f");
    std::filesystem::create_directory_symlink(root + "/assets", root + "/assets/a/loop");
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("a/file.txt"));
    EXPECT_FALSE(TFile::Exists("a/loop/a/file.txt"));
}

TEST(GetCharString, ReturnsBytesAsUnsignedAndStepsBack)
{
    const char text[] = "\xc3\xa9\xff";
    TGetCharString s(text);
    EXPECT_EQ(s.UngetChar('x'), -1);
    EXPECT_EQ(s.DoGetChar(), 0xC3);
    EXPECT_EQ(s.DoGetChar(), 0xA9);
    EXPECT_EQ(s.DoGetChar(), 0xFF);
    EXPECT_EQ(s.DoGetChar(), -1);
    EXPECT_EQ(s.UngetChar(0xFF), 0xFF);
    EXPECT_EQ(s.DoGetChar(), 0xFF);
    s.Rewind();
    EXPECT_EQ(s.DoGetChar(), 0xC3);

    TGetCharString partial("abc", 2);
    partial.DoGetChar();
    partial.DoGetChar();
    EXPECT_EQ(partial.DoGetChar(), -1);
    TGetCharString none(nullptr);
    EXPECT_EQ(none.DoGetChar(), -1);
}

using GetCharFileTest = FileLayerTest;

TEST_F(GetCharFileTest, ReadsBytesStepsBackAndRewinds)
{
    Put("assets/chars.bin", "a\xff");
    TFile::ScanForResources();
    TGetCharFile r("chars.bin");
    ASSERT_TRUE(r.IsValid());
    EXPECT_EQ(r.DoGetChar(), 'a');
    EXPECT_EQ(r.DoGetChar(), 0xFF);
    EXPECT_EQ(r.DoGetChar(), -1);
    EXPECT_EQ(r.UngetChar(0xFF), 0xFF);
    EXPECT_EQ(r.DoGetChar(), 0xFF);
    r.Rewind();
    EXPECT_EQ(r.DoGetChar(), 'a');

    TGetCharFile missing("nothing.xml");
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.DoGetChar(), -1);
    EXPECT_EQ(missing.UngetChar('a'), -1);
    missing.ReOpenAsBinary();
    EXPECT_FALSE(missing.IsValid());
}

TEST_F(GetCharFileTest, ReopeningAsBinaryKeepsCarriageReturns)
{
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(BuildArchive({TArchiveSource{"crlf.xml", {'a', '\r', '\n'}}}, bytes));
    PutBytes("assets/data.zvp", bytes);
    TFile::ScanForResources();
    TGetCharFile r("crlf.xml");
    EXPECT_EQ(r.DoGetChar(), 'a');
    EXPECT_EQ(r.DoGetChar(), '\n');
    r.ReOpenAsBinary();
    ASSERT_TRUE(r.IsValid());
    EXPECT_EQ(r.DoGetChar(), 'a');
    EXPECT_EQ(r.DoGetChar(), '\r');
}

}  // namespace
