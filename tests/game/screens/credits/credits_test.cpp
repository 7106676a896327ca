// The credits roll: lines split into the side columns or the centre, header marks turned into
// colour markup, the loop length and offset over time, and safe values for a layout that
// leaves them out.

#include <gtest/gtest.h>

#include "game/interface/layout_fixture.h"
#include "game/screens/credits/credits.h"
#include "game/script/window_autoreg.h"

namespace {

TEST(CreditLine, TrimsAndColoursHeaders)
{
    struct Case
    {
        const char* line;
        const char* markup;
    };
    const Case cases[] = {
        {"  Story \t", "Story\n"},
        {"[Engine]", "<font color='ffcc00ff'>Engine</font>\n"},
        {"Made [by] us", "Made <font color='ffcc00ff'>by</font> us\n"},
        {" \t ", "\n"},
        {"", "\n"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CreditLine(c.line, "ffcc00ff").c_str(), c.markup) << c.line;
}

class CreditsTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        GameLayoutTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        TFile::ScanFolderForResources("tests/game/screens/credits/data", ".");
    }
    TCredits* Roll(const std::string& style)
    {
        Layout("TCredits{ name = 'roll', w = 800, h = 100, columnwidth = 300, columngap = 20, " + style + " }");
        return GetCast<TCredits>(Find("roll"));
    }
};

TEST_F(CreditsTest, EveryLineAddsOneLineToEachColumn)
{
    TCredits* roll = Roll("file = 'credits_test.txt', fontsize = 20, time = 1000,"
                          " headercolor = Color(255, 255, 255)");
    ASSERT_NE(roll, nullptr);
    // Four lines, then 100 / 20 = 5 blank lines for the screen-high stretch.
    const std::string tail(5, '\n');
    EXPECT_EQ(std::string(roll->GetColumnText(TCredits::kLeft).c_str()), "\nRole\n\n\n\n" + tail);
    EXPECT_EQ(std::string(roll->GetColumnText(TCredits::kRight).c_str()), "\nName\n\n\n\n" + tail);
    EXPECT_EQ(std::string(roll->GetColumnText(TCredits::kCentre).c_str()),
              "\n\n<font color='ffffffff'>Header</font>\n\nlast line\n" + tail)
        << "a last line without a line feed keeps its last character";
    EXPECT_GT(roll->GetLoopLength(), 0);
}

TEST_F(CreditsTest, RollWaitsForTheIntroAndLoopsWithoutAJump)
{
    TCredits* roll = Roll("file = 'credits/credits.txt', fontsize = 20, time = 4000, intropause = 2000");
    ASSERT_NE(roll, nullptr);
    const float loop = float(roll->GetLoopLength());
    ASSERT_GT(loop, 0);
    EXPECT_EQ(roll->OffsetAt(0), 0);
    EXPECT_EQ(roll->OffsetAt(1999), 0);
    EXPECT_FLOAT_EQ(roll->OffsetAt(2000 + 1000), loop / 4);
    EXPECT_EQ(roll->OffsetAt(2000 + 4000), 0) << "one period later the roll is back where it began";
    EXPECT_LT(roll->OffsetAt(2000 + 3999), loop);
}

TEST_F(CreditsTest, MissingTimeAndFontSizeFallBackToPositiveValues)
{
    TCredits* roll = Roll("file = 'credits/credits.txt', fontsize = 0");
    ASSERT_NE(roll, nullptr);
    const float offset = roll->OffsetAt(30000);
    EXPECT_TRUE(offset >= 0 && offset < float(roll->GetLoopLength())) << offset;
    roll->Draw();
}

}  // namespace

namespace {

TEST_F(CreditsTest, TheDemoLayoutRollsTheDemoCredits)
{
    Lua("PushModal('creditsscreen')");
    ASSERT_TRUE(script->RunScript("layouts/credits.lua"));
    TCredits* roll = GetCast<TCredits>(Find("roll"));
    ASSERT_NE(roll, nullptr);
    EXPECT_NE(std::string(roll->GetColumnText(TCredits::kLeft).c_str()).find("Story"), std::string::npos);
    EXPECT_NE(std::string(roll->GetColumnText(TCredits::kCentre).c_str()).find("<font color='ffd278ff'>The people of the story</font>"),
              std::string::npos);
}

}  // namespace
