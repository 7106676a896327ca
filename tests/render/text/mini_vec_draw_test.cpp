#include "render/text/mini_vec_draw.h"
#include "render/text/mvec_format.h"
#include "synthetic_font.h"
#include "text_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void Put(std::vector<uint8_t>& s, int v)
{
    const int16_t q = static_cast<int16_t>(v);
    s.push_back(static_cast<uint8_t>(q & 0xFF));
    s.push_back(static_cast<uint8_t>((q >> 8) & 0xFF));
}

// A closed box contour (shape units) without fill or end commands.
void AddBox(std::vector<uint8_t>& s, int x1, int y1, int x2, int y2)
{
    const int pts[5][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
    for (int i = 0; i < 5; ++i) {
        s.push_back(i == 0 ? mvec::kMove : mvec::kLine);
        Put(s, pts[i][0] * 128);
        Put(s, pts[i][1] * 128);
    }
}

class MiniVecDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        drawer.Calibrate();
        drawer.SetNoBlend(true);
        drawer.SetColor(TZvMiniVecDraw::kFillSlot, TColor(1, 1, 1, 1), 1.0f);
    }
    void DrawAt(TMemorySurface& m, const std::vector<uint8_t>& stream, float sx = 0, float sy = 0)
    {
        drawer.StartSurface(sx, sy, &m.surface);
        drawer.Draw(stream.data(), 0, 0);
        drawer.Stop();
    }

    TZvMiniVecDraw drawer;
};

}  // namespace

TEST_F(MiniVecDrawTest, RampsScaleAlphaByCoverage)
{
    drawer.SetColor(TZvMiniVecDraw::kOutlineSlot, TColor(1, 0, 0, 1), 0.5f);
    EXPECT_EQ(drawer.GetRampColor(255, 0).Value(), 0x07FF0000u);   // 127 × 16 / 256
    EXPECT_EQ(drawer.GetRampColor(255, 15).Value(), 0x7FFF0000u);  // 127 × 256 / 256
    EXPECT_EQ(drawer.GetRampColor(255, 16).Value(), 0x7EFF0000u);  // 127 × 255 / 256
    // Slots share ramps: 254 the bold stroke, 1 the fill, every other slot the third one.
    drawer.SetColor(7, TColor(0, 0, 1, 1), 1.0f);
    EXPECT_EQ(drawer.GetRampColor(200, 15).Value(), 0xFF0000FFu);
    EXPECT_EQ(drawer.GetRampColor(1, 15).Value(), 0xFFFFFFFFu);
}

TEST_F(MiniVecDrawTest, NarrowBoxGetsPartialCoverage)
{
    // 3 q by 10 q: three quarters of each sub-row of pixel column 0, over 2.5 pixel rows.
    std::vector<uint8_t> box = BoxStream(0, 0, 3, 10);
    TMemorySurface m(4, 4);
    DrawAt(m, box);
    EXPECT_EQ(m.At(0, 0), 0xBFFFFFFFu);  // 12 of 16: 255 × 192 / 256
    EXPECT_EQ(m.At(0, 1), 0xBFFFFFFFu);
    EXPECT_EQ(m.At(0, 2), 0x5FFFFFFFu);  // 6 of 16: 255 × 96 / 256
    EXPECT_EQ(m.At(1, 0), 0u);
    EXPECT_EQ(m.At(0, 3), 0u);
    EXPECT_EQ(m.CountNonZero(), 3);
}

TEST_F(MiniVecDrawTest, WholePixelBoxAndSubPixelStart)
{
    std::vector<uint8_t> box = BoxStream(0, 0, 8, 8);
    TMemorySurface m(5, 5);
    DrawAt(m, box, 1, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(m.At(x, y), (x >= 1 && x <= 2 && y >= 1 && y <= 2) ? 0xFFFFFFFFu : 0u) << x << "," << y;

    // A quarter-pixel start moves the box by one q: 3 q in the first column, 1 q in the third.
    TMemorySurface shifted(5, 5);
    DrawAt(shifted, box, 0.25f, 0);
    EXPECT_EQ(shifted.At(0, 0), 0xBFFFFFFFu);
    EXPECT_EQ(shifted.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(shifted.At(2, 0), 0x3FFFFFFFu);  // 4 of 16: 255 × 64 / 256
    EXPECT_EQ(shifted.At(2, 1), 0x3FFFFFFFu);
    EXPECT_EQ(shifted.At(0, 2), 0u);
}

TEST_F(MiniVecDrawTest, OverlappingContoursLeaveAHole)
{
    std::vector<uint8_t> s = {mvec::kFillA, 1};
    AddBox(s, 0, 0, 8, 4);
    AddBox(s, 4, 0, 12, 4);
    s.push_back(mvec::kEnd);
    TMemorySurface m(4, 2);
    DrawAt(m, s);
    EXPECT_EQ(m.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(1, 0), 0u);
    EXPECT_EQ(m.At(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(0, 1), 0u);
}

TEST_F(MiniVecDrawTest, StrokesOutlineTheFillAndNeedTheFirstWidth)
{
    drawer.SetColor(TZvMiniVecDraw::kOutlineSlot, TColor(1, 0, 0, 1), 1.0f);
    drawer.SetColor(TZvMiniVecDraw::kBoldSlot, TColor(0, 1, 0, 1), 1.0f);
    std::vector<uint8_t> box = BoxStream(8, 8, 16, 16);

    // Width 0 off: no outline even with the second width set.
    drawer.SetStrokeWidths(0, 1);
    TMemorySurface plain(6, 6);
    DrawAt(plain, box);
    EXPECT_EQ(plain.CountNonZero(), 4);
    EXPECT_EQ(plain.At(1, 2), 0u);

    // One pixel of outline around the box; the fill stays on top.
    drawer.SetStrokeWidths(1, 0);
    TMemorySurface outlined(6, 6);
    DrawAt(outlined, box);
    EXPECT_EQ(outlined.At(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(outlined.At(1, 2), 0xFFFF0000u);
    EXPECT_EQ(outlined.At(4, 3), 0xFFFF0000u);
    EXPECT_EQ(outlined.At(2, 4), 0xFFFF0000u);
    EXPECT_EQ(outlined.At(0, 2), 0u);
    EXPECT_EQ(outlined.At(5, 3), 0u);

    // Two widths: the wider outline under the narrower bold stroke.
    drawer.SetStrokeWidths(2, 1);
    TMemorySurface both(8, 8);
    DrawAt(both, box, 1, 1);
    EXPECT_EQ(both.At(3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(both.At(2, 3), 0xFF00FF00u);
    EXPECT_EQ(both.At(1, 3), 0xFFFF0000u);
}

TEST_F(MiniVecDrawTest, RepeatedShapesReplayInTheCurrentColour)
{
    std::vector<uint8_t> box = BoxStream(0, 0, 8, 8);
    TMemorySurface first(2, 2);
    DrawAt(first, box);
    EXPECT_EQ(drawer.RasterisedCount(), 1u);
    drawer.SetColor(TZvMiniVecDraw::kFillSlot, TColor(0, 0, 1, 1), 1.0f);
    TMemorySurface second(2, 2);
    DrawAt(second, box);
    EXPECT_EQ(drawer.RasterisedCount(), 1u);
    EXPECT_EQ(drawer.CachedShapeCount(), 1u);
    EXPECT_EQ(second.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(second.At(1, 1), 0xFF0000FFu);

    // Another sub-pixel position or scale is another shape.
    TMemorySurface third(3, 3);
    DrawAt(third, box, 0.5f, 0);
    drawer.SetScale(2, 2);
    DrawAt(third, box);
    EXPECT_EQ(drawer.RasterisedCount(), 3u);

    drawer.ForgetStreams(box.data(), box.data() + box.size());
    EXPECT_EQ(drawer.CachedShapeCount(), 0u);
}

TEST_F(MiniVecDrawTest, BoxesAreDrawnFreshEachTime)
{
    // Both boxes are built in the same place; the second must not replay the first.
    TMemorySurface m(6, 2);
    drawer.StartSurface(0, 0, &m.surface);
    TZvMiniVecDraw::DrawBox(&drawer, 0, 0, 4, 4, 0, 0);
    TZvMiniVecDraw::DrawBox(&drawer, 0, 0, 8, 8, 12, 0);
    drawer.Stop();
    EXPECT_EQ(m.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(1, 0), 0u);
    EXPECT_EQ(m.At(3, 0), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(4, 1), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(5, 0), 0u);
    EXPECT_EQ(drawer.CachedShapeCount(), 0u);
}

TEST_F(MiniVecDrawTest, BlendModesIntoPixels)
{
    // Streams stay alive: the span cache keys on their addresses.
    const std::vector<uint8_t> narrow = BoxStream(0, 0, 3, 4);  // 12 of 16 in one pixel
    const std::vector<uint8_t> whole = BoxStream(0, 0, 4, 4);
    const std::vector<uint8_t> half = BoxStream(0, 0, 4, 2);
    drawer.SetNoBlend(false);

    // Alpha blend over transparent pixels gives the span's own colour and alpha.
    drawer.SetAlphaBlend(true);
    TMemorySurface clear(1, 1);
    DrawAt(clear, narrow);
    EXPECT_EQ(clear.At(0, 0), 0xBFFFFFFFu);  // 12 of 16
    TMemorySurface full(1, 1);
    DrawAt(full, whole);
    EXPECT_EQ(full.At(0, 0), 0xFFFFFFFFu);

    // Plain blending mixes the colour channels and keeps the destination's alpha.
    drawer.SetAlphaBlend(false);
    TMemorySurface black(1, 1, 0x80000000u);
    DrawAt(black, half);  // 8 of 16: alpha 127
    EXPECT_EQ(black.At(0, 0), 0x807F7F7Fu);
}

TEST_F(MiniVecDrawTest, ClippingAtTheSurfaceEdges)
{
    std::vector<uint8_t> box = BoxStream(-8, -8, 24, 8);
    TMemorySurface m(4, 2);
    DrawAt(m, box);
    // The rightmost column is written too.
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(m.At(x, 0), 0xFFFFFFFFu) << x;
    EXPECT_EQ(m.At(3, 1), 0xFFFFFFFFu);

    // Far outside in every direction: nothing is written, nothing breaks.
    TMemorySurface far(4, 4);
    DrawAt(far, box, -5000, 3000);
    EXPECT_EQ(far.CountNonZero(), 0);
}

TEST_F(MiniVecDrawTest, HostileStreamsStaySafe)
{
    // A byte that is not a command ends the shape: the box before it is drawn, the one after not.
    std::vector<uint8_t> s = {mvec::kFillA, 1};
    AddBox(s, 0, 0, 4, 4);
    s.push_back(0x99);
    AddBox(s, 8, 0, 12, 4);
    s.push_back(mvec::kEnd);
    TMemorySurface m(3, 1);
    DrawAt(m, s);
    EXPECT_EQ(m.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(2, 0), 0u);

    // More layer commands than layers: the shape still lands in the top layer.
    std::vector<uint8_t> layers = {1, 1, 1, 1, 1, mvec::kFillA, 1};
    AddBox(layers, 0, 0, 4, 4);
    layers.push_back(mvec::kEnd);
    TMemorySurface l(1, 1);
    DrawAt(l, layers);
    EXPECT_EQ(l.At(0, 0), 0xFFFFFFFFu);

    // Extreme coordinates at a huge scale, rotated: clipped, not crashed.
    std::vector<uint8_t> huge = {mvec::kFillA, 1};
    AddBox(huge, -255, -255, 255, 255);
    huge.push_back(mvec::kEnd);
    drawer.SetScale(1.0e6f, 1.0e6f);
    drawer.SetRotation(0.0f, 1.0f);
    TMemorySurface h(8, 8);
    DrawAt(h, huge, 4, 4);
    EXPECT_EQ(h.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(h.At(7, 7), 0xFFFFFFFFu);

    // An end command alone draws nothing.
    const uint8_t end[] = {mvec::kEnd};
    TMemorySurface e(2, 2);
    drawer.StartSurface(0, 0, &e.surface);
    drawer.Draw(end, 0, 0);
    drawer.Draw(nullptr, 0, 0);
    drawer.Stop();
    EXPECT_EQ(e.CountNonZero(), 0);
}

TEST_F(MiniVecDrawTest, ItalicSlantsAndCurvesFill)
{
    // x -= y / 3: a box from y = -12 to 0 leans right at the top.
    drawer.SetItalic(true);
    TMemorySurface m(6, 3);
    const std::vector<uint8_t> box = BoxStream(0, -12, 16, 0);
    DrawAt(m, box, 0, 3);
    const auto alpha = [&](int x, int y) { return m.At(x, y) >> 24; };
    EXPECT_EQ(alpha(1, 0), 255u);
    EXPECT_EQ(alpha(1, 2), 255u);
    EXPECT_EQ(alpha(0, 0), 31u);   // shifted by 4, 4, 3, 3 q in its sub-rows: 2 of 16 left
    EXPECT_EQ(alpha(0, 2), 207u);  // shifted by 1, 1, 1, 0 q: 13 of 16
    EXPECT_GT(alpha(4, 0), alpha(4, 2));

    // A curve command draws through its three straight pieces.
    drawer.SetItalic(false);
    std::vector<uint8_t> c = {mvec::kFillA, 1, mvec::kMove};
    Put(c, 0);
    Put(c, 0);
    c.push_back(mvec::kCurve);
    for (int v : {8, 0, 8, 8})
        Put(c, v * 128);
    c.push_back(mvec::kLine);
    Put(c, 0);
    Put(c, 0);
    c.push_back(mvec::kEnd);
    TMemorySurface curve(2, 2);
    DrawAt(curve, c);
    EXPECT_GT(curve.At(1, 0) >> 24, 0u);
    EXPECT_EQ(curve.At(0, 1), 0u);
}
