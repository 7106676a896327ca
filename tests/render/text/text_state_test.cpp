#include "render/text/text_state.h"

#include <gtest/gtest.h>

namespace {

struct TParsed
{
    bool ok = false;
    int used = 0;
    bool lineBreak = false;
    int padding = 0;
    bool cursor = false;
    bool justify = false;
    int tab = 0;
};

TParsed Parse(TTextState& state, const char* s)
{
    TParsed r;
    r.ok = state.ParseTag(s, &r.used, &r.lineBreak, &r.padding, &r.cursor, &r.justify, &r.tab);
    return r;
}

class TextStateTest : public ::testing::Test
{
protected:
    void SetUp() override { state.Reset("base.mvec", 20, TColor(1, 1, 1, 1)); }
    TTextState state;
};

}  // namespace

TEST_F(TextStateTest, BreaksAndPadding)
{
    TParsed r = Parse(state, "<br pad=\"5\">rest");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.used, 12);
    EXPECT_TRUE(r.lineBreak);
    EXPECT_EQ(r.padding, 5);
    r = Parse(state, "<BR>");
    EXPECT_TRUE(r.lineBreak);
    EXPECT_EQ(r.padding, 0);
    EXPECT_TRUE(Parse(state, "</p>").lineBreak);
}

TEST_F(TextStateTest, IncompleteTagsAreText)
{
    EXPECT_FALSE(Parse(state, "<b").ok);
    EXPECT_FALSE(Parse(state, "b>").ok);
    EXPECT_FALSE(Parse(state, "").ok);
    EXPECT_FALSE(Parse(state, "<font size=\"1").ok);
    // Unknown tags are swallowed.
    TParsed r = Parse(state, "<blink-not-known>x");
    EXPECT_TRUE(r.ok);
    r = Parse(state, "<zzz>x");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.used, 5);
    EXPECT_FALSE(r.lineBreak);
}

TEST_F(TextStateTest, StyleSwitches)
{
    Parse(state, "<B>");
    Parse(state, "<i>");
    Parse(state, "<u>");
    EXPECT_TRUE(state.mBold && state.mItalic && state.mUnderline);
    Parse(state, "</b>");
    Parse(state, "</I>");
    Parse(state, "</u>");
    EXPECT_FALSE(state.mBold || state.mItalic || state.mUnderline);
    EXPECT_TRUE(Parse(state, "<cursor>").cursor);
    EXPECT_EQ(Parse(state, "<tab pos=\"100\">").tab, 400);
    EXPECT_EQ(Parse(state, "<b>").tab, 0);
}

TEST_F(TextStateTest, LinksAndTheirColours)
{
    Parse(state, "<a id=\"Door\" color=\"00FF00\">");
    EXPECT_EQ(state.mLinkId, str("Door"));
    EXPECT_EQ(state.mLinkColor, TColor(0, 1, 0, 1));
    Parse(state, "</a>");
    EXPECT_EQ(state.mLinkId, str(""));
    EXPECT_EQ(state.mLinkColor, TColor(1, 1, 1, 1));
    Parse(state, "<a id='x'>");
    EXPECT_EQ(state.mLinkId, str("x"));
    EXPECT_EQ(state.mLinkColor, TColor(1, 1, 1, 1));
}

TEST_F(TextStateTest, FontLevelsNestAndPop)
{
    Parse(state, "<font size=\"30\" color=\"FF000080\" face=\"Fonts/Title.mvec\">");
    EXPECT_EQ(state.LevelIndex(), 1);
    EXPECT_EQ(state.CurrentLevel().size, 30);
    EXPECT_EQ(state.CurrentLevel().color, TColor(1, 0, 0, 128 / 255.0f));
    EXPECT_EQ(state.CurrentLevel().face, str("Fonts/Title.mvec"));
    Parse(state, "<font color=\"#FF0000\">");
    EXPECT_EQ(state.CurrentLevel().color, TColor(1, 0, 0, 1));
    EXPECT_EQ(state.CurrentLevel().size, 30);
    Parse(state, "</font>");
    Parse(state, "</font>");
    Parse(state, "</font>");
    EXPECT_EQ(state.LevelIndex(), 0);
    EXPECT_EQ(state.CurrentLevel().size, 20);
    EXPECT_EQ(state.CurrentLevel().face, str("base.mvec"));
}

TEST_F(TextStateTest, DeepNestingStaysInsideTheStoredLevels)
{
    for (int i = 0; i < 40; ++i) {
        Parse(state, "<font size=\"7\">");
        Parse(state, "<center>");
    }
    EXPECT_EQ(state.LevelIndex(), 40);
    EXPECT_EQ(state.CurrentLevel().size, 7);
    EXPECT_EQ(state.CurrentJustify(), 1);
    for (int i = 0; i < 45; ++i) {
        Parse(state, "</font>");
        Parse(state, "</center>");
    }
    EXPECT_EQ(state.LevelIndex(), 0);
    EXPECT_EQ(state.CurrentLevel().size, 20);
    EXPECT_EQ(state.CurrentJustify(), -1);
}

TEST_F(TextStateTest, JustificationTags)
{
    TParsed r = Parse(state, "<right>");
    EXPECT_TRUE(r.justify);
    EXPECT_EQ(state.CurrentJustify(), 2);
    Parse(state, "<left>");
    EXPECT_EQ(state.CurrentJustify(), 0);
    Parse(state, "</left>");
    EXPECT_EQ(state.CurrentJustify(), 2);
    EXPECT_TRUE(Parse(state, "</right>").justify);
    EXPECT_EQ(state.CurrentJustify(), -1);
}

TEST_F(TextStateTest, Outline)
{
    Parse(state, "<outline color=\"0000ff\">");
    EXPECT_FLOAT_EQ(state.mOutlineSize, 2.0f);
    EXPECT_EQ(state.mOutlineColor, TColor(0, 0, 1, 1));
    Parse(state, "<outline size=\"3\">");
    EXPECT_FLOAT_EQ(state.mOutlineSize, 3.0f);
    Parse(state, "</outline>");
    EXPECT_FLOAT_EQ(state.mOutlineSize, 0.0f);
    EXPECT_EQ(state.mOutlineColor, TColor(0, 0, 0, 0));
}

TEST_F(TextStateTest, AttributeValuesKeepCaseUpToASpace)
{
    char value[200];
    EXPECT_TRUE(TTextState::GetAttribute("<aid=\"Mixed\">", "id", value));
    EXPECT_STREQ(value, "Mixed");
    EXPECT_FALSE(TTextState::GetAttribute("<aid=\"open>", "id", value));
    EXPECT_FALSE(TTextState::GetAttribute("<b>", "id", value));
    // A space inside quotes is kept but ends the value's own case.
    Parse(state, "<a id=\"Big Door\">");
    EXPECT_EQ(state.mLinkId, str("Big door"));
    // Sizes are held to sane amounts.
    Parse(state, "<font size=\"99999999999\">");
    EXPECT_EQ(state.CurrentLevel().size, 4096);
    Parse(state, "<font size=\"-5\">");
    EXPECT_EQ(state.CurrentLevel().size, 0);
}

TEST_F(TextStateTest, OverlongTagsAreCutAtTheBuffer)
{
    std::string tag = "<font face=\"" + std::string(300, 'x') + "\">";
    TParsed r = Parse(state, tag.c_str());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.used, TTextState::kTagBuffer + 1);  // the dropped space is scanned, not kept
}
