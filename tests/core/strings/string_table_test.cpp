#include "../xml/user_folder_fixture.h"
#include "common/log_capture.h"
#include "core/config/config.h"
#include "core/strings/string_table.h"
#include "core/xml/zxml_block.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// A spreadsheet export as the translators' tool writes it.
std::string Sheet(const std::vector<std::pair<std::string, std::string>>& rows)
{
    std::string s = "<?xml version=\"1.0\"?>\n<Workbook>\n"
                    " <Worksheet ss:Name=\"Strings\">\n  <Table>\n";
    for (auto& [label, text] : rows)
        s += "   <Row>\n    <Cell><Data ss:Type=\"String\">" + label +
             "</Data></Cell>\n    <Cell><Data ss:Type=\"String\">" + text + "</Data></Cell>\n   </Row>\n";
    return s + "  </Table>\n </Worksheet>\n</Workbook>\n";
}

class StringTableTest : public UserFolderTest
{
protected:
    void SetUp() override
    {
        UserFolderTest::SetUp();
        TConfig::Clear();
        table.SetQuiet(true);
    }
    void TearDown() override
    {
        TConfig::Clear();
        UserFolderTest::TearDown();
    }

    void Load(const std::vector<std::pair<std::string, std::string>>& rows)
    {
        const std::string s = Sheet(rows);
        table = TStringTable();
        table.SetQuiet(true);
        ASSERT_TRUE(table.MergeStringData(s.data(), s.size()));
    }

    std::string Get(const char* label, unsigned count = 0, const str* args = nullptr)
    {
        return table.GetString(label, count, args).c_str();
    }

    TStringTable table;
};

TEST_F(StringTableTest, ArgumentPlaceholders)
{
    Load({{"greet", "Hello %1%, you have %2% coins"}, {"pct", "100%% sure"}, {"twice", "%1%%1%"}});
    const str args[] = {"Ada", "12"};
    EXPECT_EQ(Get("greet", 2, args), "Hello Ada, you have 12 coins");
    EXPECT_EQ(Get("greet", 0, nullptr), "#####");
    EXPECT_EQ(Get("greet", 1, args), "#####");  // %2% out of range
    EXPECT_EQ(Get("pct"), "100% sure");
    EXPECT_EQ(Get("twice", 1, args), "AdaAda");
    // The five-argument form.
    EXPECT_EQ(std::string(table.GetString("greet", "Bo", "3").c_str()), "Hello Bo, you have 3 coins");
}

TEST_F(StringTableTest, LabelPlaceholdersInsertStoredTextUnexpanded)
{
    Load({{"name", "Tess"},
          {"hello", "Hi %name%!"},
          {"outer", "[%hello%]"},
          {"broken", "x %nope% y"},
          {"via", "got %1%"}});
    EXPECT_EQ(Get("hello"), "Hi Tess!");
    EXPECT_EQ(Get("outer"), "[Hi %name%!]");
    EXPECT_EQ(Get("broken"), "#####");

    const str byLabel[] = {"%name%"};
    EXPECT_EQ(Get("via", 1, byLabel), "got Tess");
    const str percent[] = {"%%"};
    EXPECT_EQ(Get("via", 1, percent), "got %");
    const str missing[] = {"%nolabel%"};
    EXPECT_EQ(Get("via", 1, missing), "#####");
    const str odd[] = {"%odd"};
    EXPECT_EQ(Get("via", 1, odd), "#####");
}

TEST_F(StringTableTest, UnmatchedPercentKeepsTheRest)
{
    Load({{"open", "50% off"}});
    EXPECT_EQ(Get("open"), "50% off");
}

TEST_F(StringTableTest, MissingLabel)
{
    Load({{"a", "b"}});
    EXPECT_EQ(Get("zzz"), "#####");
    table.SetQuiet(false);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Get("zzz"), "#####");
    EXPECT_NE(testing::internal::GetCapturedStderr().find(" ##### : Missing string for label 'zzz'"),
              std::string::npos);
}

TEST_F(StringTableTest, CellsEntitiesAndRowsWithoutCells)
{
    const std::string text = "<Row><Cell><Data>amp</Data></Cell><Cell><Data>Salt &amp; pepper &#65;</Data></Cell></Row>"
                             "<Row><Cell>no data here</Cell></Row>"
                             "<Row><Cell><Data>lonely</Data></Cell></Row>"
                             "<Row><Cell><Data ss:Type=\"String\">typed</Data><Data>t</Data></Cell></Row>"
                             "<Row><Data>cut";
    ASSERT_TRUE(table.MergeStringData(text.data(), text.size()));
    EXPECT_EQ(Get("amp"), "Salt & pepper A");
    EXPECT_EQ(Get("lonely"), "");
    EXPECT_EQ(Get("typed"), "t");
    EXPECT_EQ(Get("cut"), "");
    EXPECT_EQ(table.GetCount(), 4u);
    // A text cell belongs to its own row only.
    const std::string split = "<Row><Data>first</Data></Row><Row><Data>second</Data><Data>2</Data></Row>";
    TStringTable t;
    t.MergeStringData(split.data(), split.size());
    EXPECT_EQ(std::string(t.GetString("first", 0, nullptr).c_str()), "");
    EXPECT_EQ(std::string(t.GetString("second", 0, nullptr).c_str()), "2");
}

TEST_F(StringTableTest, StringTestReplacesVisibleCharacters)
{
    Load({{"two", "Hello world"}});
    TConfig::SetConfig("stringtest", "1");
    EXPECT_EQ(Get("two"), "xxxxx xxxxx");
    EXPECT_EQ(Get("missing"), "#####");
    TConfig::SetConfig("stringtest", "0");
    EXPECT_EQ(Get("two"), "Hello world");
}

TEST_F(StringTableTest, FlashStrings)
{
    Load({{"FLASH_title", "t"}, {"flash01_02", "x"}, {"other", "o"}, {"FLASH_body", "b"}});
    std::vector<str> out;
    table.GetFlashStrings(out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(std::string(out[0].c_str()), "FLASH_body");
    EXPECT_EQ(std::string(out[1].c_str()), "FLASH_title");

    Load({{"flash01_02", "x"}, {"flash7", "y"}, {"flashy", "z"}, {"other", "o"}});
    out.clear();
    table.GetFlashStrings(out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(std::string(out[0].c_str()), "flash01_02");
    EXPECT_EQ(std::string(out[1].c_str()), "flash7");
}

TEST_F(StringTableTest, LoadAndMergeFiles)
{
    WriteRaw("strings.xml", Sheet({{"title", "Base title"}, {"keep", "kept"}}));
    WriteRaw("strings_scene.xml", Sheet({{"title", "Scene title"}, {"extra", "new"}}));
    ASSERT_TRUE(table.LoadStringTable("user:strings.xml"));
    ASSERT_TRUE(table.MergeStringTable("user:strings_scene.xml"));
    EXPECT_EQ(Get("title"), "Scene title");
    EXPECT_EQ(Get("keep"), "kept");
    EXPECT_EQ(Get("extra"), "new");

    // A missing file: merge leaves the table alone, load leaves it empty.
    EXPECT_FALSE(table.MergeStringTable("user:absent.xml"));
    EXPECT_EQ(Get("keep"), "kept");
    EXPECT_FALSE(table.LoadStringTable("user:absent.xml"));
    EXPECT_EQ(table.GetCount(), 0u);
}

TEST_F(StringTableTest, CompressedAndDamagedCompressedFiles)
{
    const std::string sheet = Sheet({{"packed", "from a block"}});
    std::vector<uint8_t> block = ZxmlDeflate(sheet.data(), sheet.size());
    WriteRaw("strings.xml", block.data(), block.size());
    ASSERT_TRUE(table.LoadStringTable("user:strings.xml"));
    EXPECT_EQ(Get("packed"), "from a block");

    // Truncated and lying about its size: the file opened, so the merge answers true, logs
    // the damage and leaves the table unchanged.
    std::vector<uint8_t> cut(block.begin(), block.end() - 4);
    WriteRaw("strings_cut.xml", cut.data(), cut.size());
    TLogCapture log;
    EXPECT_TRUE(table.MergeStringTable("user:strings_cut.xml"));
    EXPECT_NE(log.Text().find("String table 'user:strings_cut.xml' not loaded"), std::string::npos);
    block[8] = 0xFF;
    block[9] = 0xFF;
    block[10] = 0xFF;
    WriteRaw("strings_big.xml", block.data(), block.size());
    EXPECT_TRUE(table.MergeStringTable("user:strings_big.xml"));
    EXPECT_EQ(table.GetCount(), 1u);
    EXPECT_EQ(Get("packed"), "from a block");
}

TEST_F(StringTableTest, FileWithoutRowsMergesNothingAndIsLoggedWithItsName)
{
    static const char kRandom[] = "\x89\x01\xfe<Ro\0w>\x7f garbage";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"strings_random.xml", std::string(kRandom, sizeof kRandom - 1)},
        {"strings_broken.xml", "<Workbook><Table><Cell>no rows</Table>"},
        {"strings_empty.xml", ""},
    };
    Load({{"kept", "yes"}});
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        WriteRaw(name, bytes);
        TLogCapture log;
        EXPECT_TRUE(table.MergeStringTable(str("user:") + name));
        EXPECT_NE(log.Text().find(std::string("String table 'user:") + name + "' not loaded"), std::string::npos);
        EXPECT_EQ(Get("kept"), "yes");
    }
}

}  // namespace
