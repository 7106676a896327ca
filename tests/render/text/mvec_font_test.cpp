#include "render/text/builtin_font.h"
#include "render/text/mvec_format.h"
#include "synthetic_font.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TSynthGlyph Glyph(uint32_t code, int top, int bottom, int advance = 40)
{
    TSynthGlyph g;
    g.code = code;
    g.right = advance;
    g.top = top;
    g.bottom = bottom;
    g.advance = advance;
    g.stream = BoxStream(0, top, advance, bottom);
    return g;
}

}  // namespace

TEST(MvecFont, MetricsComeFromWAndAsciiBottoms)
{
    // 'W' sets the ascent; '_' and codes above 127 do not count for the descent.
    const auto font = MakeFont(BuildFont(
        {Glyph('W', -100, 0), Glyph('_', -10, 90), Glyph('g', -50, 30), Glyph('p', -50, 25), Glyph(0xE9, -130, 70)}));
    EXPECT_FLOAT_EQ(font->GetAscent(), 100.0f);
    EXPECT_FLOAT_EQ(font->GetDescent(), 30.0f);
    EXPECT_FLOAT_EQ(font->GetLinePercent(), 0.8f);
    // total leading = 130 × 0.2 / 0.8 = 32.5: 0.15 / 0.2 of it above, 0.05 / 0.2 below.
    EXPECT_FLOAT_EQ(font->GetLeading(true), 24.375f);
    EXPECT_FLOAT_EQ(font->GetLeading(false), 8.125f);
    EXPECT_FLOAT_EQ(font->GetLeading(true), 3 * font->GetLeading(false));
    EXPECT_FALSE(font->GetForceBold());
    EXPECT_FLOAT_EQ(font->GetBoldScale(), 1.0f);
}

TEST(MvecFont, TallGlyphsAreSqueezedIntoTheLineBox)
{
    // Above the baseline the box reaches 100 + 24.375; below, 30 + 8.125.
    const auto font =
        MakeFont(BuildFont({Glyph('W', -100, 0), Glyph('g', -50, 30), Glyph(0xC9, -150, 0), Glyph(0x1E9E, -50, 76)}));
    EXPECT_FLOAT_EQ(font->GetGlyphScaleY(font->GetGlyphIndex('W')), 1.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphScaleY(font->GetGlyphIndex('g')), 1.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphScaleY(font->GetGlyphIndex(0xC9)), 124.375f / 150.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphScaleY(font->GetGlyphIndex(0x1E9E)), 38.125f / 76.0f);
}

TEST(MvecFont, LookupAndGlyphFields)
{
    TSynthGlyph wide = Glyph('m', -50, 0, 60);
    wide.left = -3;
    wide.right = 70;
    const auto font = MakeFont(BuildFont({Glyph(' ', 0, 0, 20), Glyph('W', -60, 0), wide, Glyph(0x20AC, -60, 0)}));
    ASSERT_EQ(font->GetGlyphCount(), 4);
    EXPECT_EQ(font->GetGlyphIndex(' '), 0);
    EXPECT_EQ(font->GetGlyphIndex(0x20AC), 3);
    EXPECT_EQ(font->GetGlyphIndex('a'), -1);
    EXPECT_EQ(font->GetGlyphIndex(0x10000), -1);
    const int m = font->GetGlyphIndex('m');
    EXPECT_FLOAT_EQ(font->GetGlyphMinX(m), -3.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphMaxX(m), 70.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphAdvance(m), 60.0f);
    ASSERT_NE(font->GetGlyphData(m), nullptr);
    EXPECT_EQ(font->GetGlyphData(m)[0], mvec::kFillA);
    // Out of range: nothing, zero and a scale of one.
    EXPECT_EQ(font->GetGlyphData(-1), nullptr);
    EXPECT_EQ(font->GetGlyphData(4), nullptr);
    EXPECT_FLOAT_EQ(font->GetGlyphAdvance(4), 0.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphMinX(-1), 0.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphScaleY(99), 1.0f);
}

TEST(MvecFont, WithoutWTheTallestAsciiGlyphGivesTheAscent)
{
    const auto font = MakeFont(BuildFont({Glyph('a', -40, 0), Glyph('k', -70, 0), Glyph(0x100, -90, 0)}));
    EXPECT_FLOAT_EQ(font->GetAscent(), 70.0f);
    EXPECT_FLOAT_EQ(font->GetDescent(), 0.0f);
}

TEST(MvecFont, DamagedBlocksGiveAnEmptyFont)
{
    const std::vector<uint8_t> good = RoundFont("ab");
    ASSERT_FALSE(MakeFont(good)->IsEmpty());
    const auto check_empty = [](const std::vector<uint8_t>& block, const char* what) {
        const auto font = MakeFont(block);
        EXPECT_TRUE(font->IsEmpty()) << what;
        EXPECT_EQ(font->GetGlyphIndex('a'), -1) << what;
        EXPECT_FLOAT_EQ(font->GetAscent(), 0.0f) << what;
        EXPECT_FLOAT_EQ(font->GetLeading(true), 0.0f) << what;
    };
    check_empty({}, "empty");
    check_empty({'M', 'V', 'C'}, "short magic");
    std::vector<uint8_t> magic = good;
    magic[3] = '3';
    check_empty(magic, "bad magic");
    // The records no longer fit: cut inside the record table.
    check_empty(std::vector<uint8_t>(good.begin(), good.begin() + 12 + 18 + 5), "cut records");
    std::vector<uint8_t> count = good;
    count[4] = 0xFF;
    count[5] = 0xFF;
    check_empty(count, "count larger than the file");

    const auto none = std::make_unique<TMvecFont>(nullptr, 100);
    EXPECT_TRUE(none->IsEmpty());
}

TEST(MvecFont, DamagedStreamsDrawNothingButKeepTheFont)
{
    // A stream that runs off the block without its end command ('x' is stored last).
    TSynthGlyph cut = Glyph('x', -60, 0);
    cut.stream = {4, 0, 0, 0, 0, 5, 0};
    const auto cutFont = MakeFont(BuildFont({Glyph('W', -60, 0), cut}));
    ASSERT_FALSE(cutFont->IsEmpty());
    EXPECT_EQ(cutFont->GetGlyphData(cutFont->GetGlyphIndex('x'))[0], mvec::kEnd);
    EXPECT_EQ(cutFont->GetGlyphData(cutFont->GetGlyphIndex('W'))[0], mvec::kFillA);

    // A byte that is not a command; the glyph after it is intact.
    TSynthGlyph odd = Glyph('y', -60, 0);
    odd.stream = {2, 1, 0x42, 8};
    const auto oddFont = MakeFont(BuildFont({Glyph('W', -60, 0), odd, Glyph('z', -60, 0)}));
    EXPECT_EQ(oddFont->GetGlyphData(oddFont->GetGlyphIndex('y'))[0], mvec::kEnd);
    EXPECT_EQ(oddFont->GetGlyphData(oddFont->GetGlyphIndex('z'))[0], mvec::kFillA);

    // Offsets past the block or back into the header and records.
    std::vector<uint8_t> block = BuildFont({Glyph('W', -60, 0), Glyph('a', -60, 0)});
    const size_t recordA = 12 + 18;
    std::vector<uint8_t> past = block;
    past[recordA + 17] = 0x7F;
    EXPECT_EQ(MakeFont(past)->GetGlyphData(1)[0], mvec::kEnd);
    std::vector<uint8_t> back = block;
    back[recordA + 14] = 4;
    back[recordA + 15] = back[recordA + 16] = back[recordA + 17] = 0;
    const auto backFont = MakeFont(back);
    EXPECT_EQ(backFont->GetGlyphData(1)[0], mvec::kEnd);
    EXPECT_FLOAT_EQ(backFont->GetAscent(), 60.0f);
}

TEST(MvecFont, UnsortedRecordsMissGlyphsWithoutHarm)
{
    const auto font = MakeFont(BuildFont({Glyph('z', -60, 0), Glyph('W', -60, 0), Glyph('a', -60, 0)}));
    EXPECT_FALSE(font->IsEmpty());
    EXPECT_EQ(font->GetGlyphIndex('W'), 1);
    EXPECT_EQ(font->GetGlyphIndex('z'), -1);
}

TEST(MvecFont, BuiltinFontIsCompleteAndWellFormed)
{
    auto bytes = std::make_unique<unsigned char[]>(kBuiltinFontSize);
    std::memcpy(bytes.get(), kBuiltinFontData, kBuiltinFontSize);
    TMvecFont font(std::move(bytes), kBuiltinFontSize);
    ASSERT_FALSE(font.IsEmpty());
    for (unsigned long code = 32; code < 127; ++code)
        EXPECT_GE(font.GetGlyphIndex(code), 0) << code;
    EXPECT_GE(font.GetGlyphIndex(0xE9), 0);
    EXPECT_GE(font.GetGlyphIndex(0x20AC), 0);
    EXPECT_GT(font.GetAscent(), 50.0f);
    EXPECT_GT(font.GetDescent(), 10.0f);
    EXPECT_LT(font.GetAscent() + font.GetDescent(), 255.0f);
    // Every outline reads to its end command without leaving the block.
    for (int i = 0; i < font.GetGlyphCount(); ++i) {
        const unsigned char* s = font.GetGlyphData(i);
        ASSERT_GE(s, font.BlockBegin());
        EXPECT_GT(mvec::StreamLength(s, static_cast<size_t>(font.BlockEnd() - s)), 0u) << i;
    }
    // The space draws nothing; letters are filled shapes.
    EXPECT_EQ(font.GetGlyphData(font.GetGlyphIndex(' '))[0], mvec::kEnd);
    EXPECT_EQ(font.GetGlyphData(font.GetGlyphIndex('O'))[0], mvec::kFillA);
    EXPECT_GT(font.GetGlyphAdvance(font.GetGlyphIndex('M')), font.GetGlyphAdvance(font.GetGlyphIndex('i')));
}
