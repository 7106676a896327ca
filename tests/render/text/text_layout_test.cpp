#include "core/config/config.h"
#include "core/files/file.h"
#include "render/text/mvec_font.h"
#include "render/text/text_graphic.h"
#include "text_fixture.h"

#include <gtest/gtest.h>

namespace {

using LayoutTest = TextFixture;

const TTextLine& Line(const TTextGraphicPtr& t, int i)
{
    return *t->GetLines().at(i);
}

// Width of a line in pixels: the right edge of its last run.
int LineWidth(const TTextGraphicPtr& t, int i)
{
    return Line(t, i).runs.back().right;
}

// The characters a line holds, from its runs' byte ranges.
std::string LineText(const TTextGraphicPtr& t, int i)
{
    std::string s;
    const char* text = t->GetText().c_str();
    for (const TTextRun& r : Line(t, i).runs)
        for (int p = r.start; p <= r.end; ++p)
            s += text[p];
    return s;
}

}  // namespace

TEST_F(LayoutTest, EmptyText)
{
    auto t = Make("");
    EXPECT_EQ(t->GetLineCount(), 0);
    EXPECT_EQ(t->GetMaxScroll(1.0f, 0), 0);
    TRect r(5, 5, 5, 5);
    t->GetTextBounds(&r, 1.0f);
    EXPECT_EQ(r, TRect(0, 0, 0, 0));
}

TEST_F(LayoutTest, RunScaleBaselineAndPen)
{
    auto t = Make("ab");
    ASSERT_EQ(t->GetLineCount(), 1);
    const TTextLine& line = Line(t, 0);
    EXPECT_EQ(line.height, 25);
    EXPECT_EQ(line.baseline, 75);  // ascent 60 + top leading 15
    const TTextRun& run = line.runs.at(0);
    EXPECT_FLOAT_EQ(run.scale, 1.0f);
    EXPECT_EQ(run.left, 0);
    EXPECT_EQ(run.right, 21);  // 4 + 40 + 40 q
    EXPECT_EQ(line.x, 0);
    EXPECT_FLOAT_EQ(line.xOffset, 0.5f);
    EXPECT_EQ(LineText(t, 0), "ab");
}

TEST_F(LayoutTest, BreakTags)
{
    auto t = Make("a<br>b");
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(LineText(t, 0), "a");
    EXPECT_EQ(LineText(t, 1), "b");

    t = Make("a<br pad=\"5\">b");
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(Line(t, 0).height, 30);
    EXPECT_EQ(Line(t, 1).height, 25);

    t = Make("<br><br>");
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(Line(t, 0).height, 25);
    EXPECT_EQ(Line(t, 1).height, 25);

    t = Make("a</p>b\nc");
    ASSERT_EQ(t->GetLineCount(), 3);
    EXPECT_EQ(LineText(t, 2), "c");
}

TEST_F(LayoutTest, JustificationTagsApplyFromTheNextLine)
{
    auto t = Make("a<center>b</center>c");
    ASSERT_EQ(t->GetLineCount(), 3);
    EXPECT_EQ(Line(t, 0).x, 0);
    EXPECT_EQ(Line(t, 1).x, 50);
    EXPECT_FLOAT_EQ(Line(t, 1).xOffset, -5.0f);  // -11 / 2 + 0.5
    EXPECT_EQ(Line(t, 2).x, 0);
    EXPECT_FLOAT_EQ(Line(t, 2).xOffset, 0.5f);

    t = Make("a<right>b", 100, 100, TTextGraphic::kHAlignCenter);
    EXPECT_EQ(Line(t, 0).x, 50);
    EXPECT_EQ(Line(t, 1).x, 99);
}

TEST_F(LayoutTest, WrapsAtTheLastSpace)
{
    auto t = Make("ab cd", 30);
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(LineText(t, 0), "ab");
    EXPECT_EQ(LineText(t, 1), "cd");
    EXPECT_EQ(LineWidth(t, 0), 21);
    EXPECT_EQ(Line(t, 1).runs.front().start, 3);
}

TEST_F(LayoutTest, LongWordsBreakBeforeTheOverflowingCharacter)
{
    auto t = Make("abcde", 25);
    ASSERT_EQ(t->GetLineCount(), 3);
    EXPECT_EQ(LineText(t, 0), "ab");
    EXPECT_EQ(LineText(t, 1), "cd");
    EXPECT_EQ(LineText(t, 2), "e");
    EXPECT_EQ(LineWidth(t, 0), 21);

    TConfig::SetLegacyLineWrap(true);
    t = Make("abcde", 25);
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(LineText(t, 0), "abc");
    EXPECT_EQ(LineText(t, 1), "de");

    // A character wider than the whole width still gets a line.
    TConfig::SetLegacyLineWrap(false);
    t = Make("ab", 5);
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(LineText(t, 0), "a");
    EXPECT_EQ(LineText(t, 1), "b");
}

TEST_F(LayoutTest, CutAtASpaceReadsLaterTagsAgain)
{
    // The font tag after the space is read on both lines; "d" must be back at the base size.
    auto t = Make("ab <font size=\"30\">c</font>d", 30);
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(LineText(t, 0), "ab");
    EXPECT_EQ(Line(t, 0).height, 25);
    EXPECT_EQ(Line(t, 1).height, 30);
    const TTextRun& last = Line(t, 1).runs.back();
    EXPECT_EQ(t->GetText()[last.start], 'd');
    EXPECT_EQ(last.size, 25);

    // A run that holds the space is cut at it, not shown on both lines.
    t = Make("ab cd<b>ef", 50);
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(LineText(t, 0), "ab");
    EXPECT_EQ(LineText(t, 1), "cdef");
}

TEST_F(LayoutTest, HorizontalAndVerticalAlignment)
{
    auto right = Make("ab", 100, 100, TTextGraphic::kHAlignRight);
    EXPECT_EQ(Line(right, 0).x, 99);
    EXPECT_FLOAT_EQ(Line(right, 0).xOffset, -20.5f);
    TRect r;
    right->GetTextBounds(&r, 1.0f);
    EXPECT_EQ(r, TRect(78, 0, 99, 25));

    auto centre = Make("ab", 100, 100, TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter);
    centre->GetTextBounds(&r, 1.0f);
    EXPECT_EQ(r, TRect(40, 38, 61, 63));
    EXPECT_FLOAT_EQ(centre->GetVerticalOffset(), -12.5f);

    auto bottom = Make("a<br>b", 100, 100, TTextGraphic::kVAlignBottom);
    bottom->GetTextBounds(&r, 1.0f);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.bottom, 100);
    bottom->GetTextBounds(&r, 2.0f);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 100);
    EXPECT_EQ(r.right, 23);  // 0.5 × 2 + 11 × 2
}

TEST_F(LayoutTest, FallbackFontTakesMissingCharacters)
{
    auto t = Make("a#b~");
    ASSERT_EQ(t->GetLineCount(), 1);
    const TTextLine& line = Line(t, 0);
    ASSERT_EQ(line.runs.size(), 3u);
    TMvecFont* face = line.runs[0].font;
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(line.runs[0].faceFont, nullptr);
    EXPECT_NE(line.runs[1].font, face);
    EXPECT_EQ(line.runs[1].faceFont, face);
    EXPECT_EQ(t->GetText()[line.runs[1].start], '#');
    EXPECT_EQ(line.runs[2].font, face);
    // '~' is in neither font: skipped without moving the pen.
    EXPECT_EQ(LineWidth(t, 0), 31);
}

TEST_F(LayoutTest, MissingFontsFallBack)
{
    // A file that doesn't exist uses "fonts/default.mvec".
    auto t = Make("Z#", 100, 100, 0, "fonts/none.mvec");
    EXPECT_EQ(LineWidth(t, 0), 21);
    // A damaged file does the same, with a log line.
    std::vector<uint8_t> broken = mServices->mFace;
    broken[0] = 'X';
    TFile::AddMemoryFile("fonts/broken.mvec", broken.data(), static_cast<unsigned>(broken.size()));
    t = Make("Z", 100, 100, 0, "fonts/broken.mvec");
    EXPECT_EQ(LineWidth(t, 0), 11);
    // The built-in font needs no file at all.
    t = Make("Hello", 500, 100, 0, nullptr);
    EXPECT_EQ(t->GetFont(), str("__DEFAULT"));
    EXPECT_GT(LineWidth(t, 0), 20);
}

TEST_F(LayoutTest, PickAndRollover)
{
    auto t = Make("<a id=\"door\">ab</a> cd<br><a id=\"key\">e</a>");
    EXPECT_EQ(t->Pick(TPoint(5, 10), 0), str("door"));
    EXPECT_EQ(t->Pick(TPoint(25, 10), 0), str(""));
    EXPECT_EQ(t->Pick(TPoint(5, 30), 0), str("key"));
    EXPECT_EQ(t->Pick(TPoint(5, 60), 0), str(""));
    // Line spacing widens each line's band upwards.
    EXPECT_EQ(t->Pick(TPoint(5, 24), 4), str("door"));
    EXPECT_EQ(t->Pick(TPoint(5, 26), 4), str("key"));
    EXPECT_EQ(t->Pick(TPoint(5, 26), 0), str("key"));

    const TPoint door(5, 10);
    EXPECT_TRUE(t->Rollover(&door, 0));
    EXPECT_FALSE(t->Rollover(&door, 0));
    EXPECT_EQ(t->GetRolloverLink(), str("door"));
    EXPECT_TRUE(t->Rollover(nullptr, 0));
    EXPECT_FALSE(t->Rollover(nullptr, 0));

    // Scrolled by a line, the first visible line is the second one.
    t->SetScroll(1);
    EXPECT_EQ(t->Pick(TPoint(5, 10), 0), str("key"));
}

TEST_F(LayoutTest, MaxScroll)
{
    auto t = Make("a<br>b<br>c", 100, 60);
    EXPECT_EQ(t->GetMaxScroll(1.0f, 0), 1);
    EXPECT_EQ(t->GetMaxScroll(0.5f, 0), 0);
    EXPECT_EQ(t->GetMaxScroll(1.0f, 20), 2);
    t->SetTextRect(100, 25);
    EXPECT_EQ(t->GetMaxScroll(1.0f, 0), 2);
}

TEST_F(LayoutTest, SettersLayOutOnlyOnChange)
{
    auto t = Make("ab");
    const std::shared_ptr<TTextLine> before = t->GetLines().at(0);
    t->SetText("ab");
    t->SetFont("fonts/round.mvec");
    t->SetLineHeight(25);
    EXPECT_EQ(t->GetLines().at(0), before);
    t->SetLineHeight(50);
    EXPECT_NE(t->GetLines().at(0), before);
    EXPECT_EQ(Line(t, 0).height, 50);
    t->SetFont("");
    EXPECT_EQ(t->GetFont(), str("__DEFAULT"));
}

TEST_F(LayoutTest, EscapesTabsAndHostileBytes)
{
    auto t = Make("\\<b>");
    ASSERT_EQ(t->GetLineCount(), 1);
    for (const TTextRun& r : Line(t, 0).runs)
        EXPECT_FALSE(r.bold);
    EXPECT_EQ(LineWidth(t, 0), 31);  // '<', 'b', '>'

    t = Make("a<tab pos=\"100\">b", 200);
    EXPECT_EQ(LineWidth(t, 0), 110);

    // A trailing backslash, cut and broken sequences: nothing is read past the text.
    for (const char* text : {"ab\\", "a\xE2\x82", "\xC3(b", "\xF0", "a\\\xE2", "<", "a<b"}) {
        t = Make(text);
        const int length = static_cast<int>(t->GetText().length());
        for (const auto& line : t->GetLines())
            for (const TTextRun& r : line->runs)
                EXPECT_LT(r.end, length) << text;
    }
    t = Make("\xC3(b");
    EXPECT_EQ(LineWidth(t, 0), 11);  // U+FFFD and '(' are missing; 'b' stays
    t = Make("a<b");
    EXPECT_EQ(LineWidth(t, 0), 31);  // an unclosed '<' is text
}

TEST_F(LayoutTest, StylesReachTheRuns)
{
    auto t = Make("<font color=\"FF000080\">a</font><outline size=\"3\"><a id=\"l\" color=\"00FF00\"><i><u>b");
    const TTextLine& line = Line(t, 0);
    EXPECT_EQ(line.runs[1].color, TColor(1, 0, 0, 128 / 255.0f));
    const TTextRun& last = line.runs.back();
    EXPECT_TRUE(last.italic);
    EXPECT_TRUE(last.underline);
    EXPECT_FLOAT_EQ(last.outlineSize, 3.0f);
    EXPECT_EQ(last.linkId, str("l"));
    EXPECT_EQ(last.linkColor, TColor(0, 1, 0, 1));
    // The outline widens the line's first and last extents for alignment.
    EXPECT_EQ(line.x, 0);
}
