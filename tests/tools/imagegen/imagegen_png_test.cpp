// Drawing and the program end to end: descriptions in, PNG out, loaded by the engine's decoder.

#include "render/image/png_image.h"
#include "tools/imagegen/canvas.h"
#include "tools/support/tool_run.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TCanvas Draw(const std::string& text)
{
    TImageDescription d;
    std::string error;
    EXPECT_TRUE(ParseImageDescription("test.img", text, 0, 1, &d, &error)) << error;
    return RenderImage(d);
}

TEST(ImageCanvas, ShapesBlendOverWhatIsBelow)
{
    const TCanvas c = Draw("size 20 10\nfill #000000\nrect 0 0 10 10 #ff000080\nrect 10 0 10 10 #00ff00\n");
    EXPECT_NEAR(c.At(5, 5).r, 128 / 255.0, 1e-6) << "half red over black";
    EXPECT_DOUBLE_EQ(c.At(5, 5).a, 1.0);
    EXPECT_DOUBLE_EQ(c.At(15, 5).g, 1.0);
    EXPECT_DOUBLE_EQ(c.At(15, 5).r, 0.0);
}

TEST(ImageCanvas, OutlinesLeaveTheirInsideAlone)
{
    const TCanvas frame = Draw("size 10 10\nfill #00000000\nframe 0 0 10 10 2 #ffffff\n");
    EXPECT_DOUBLE_EQ(frame.At(0, 5).a, 1.0);
    EXPECT_DOUBLE_EQ(frame.At(1, 5).a, 1.0);
    EXPECT_DOUBLE_EQ(frame.At(2, 5).a, 0.0);
    EXPECT_DOUBLE_EQ(frame.At(5, 5).a, 0.0);
    EXPECT_DOUBLE_EQ(frame.At(9, 9).a, 1.0);

    const TCanvas ring = Draw("size 21 21\nfill #00000000\nring 10.5 10.5 10 3 #ffffff\n");
    EXPECT_DOUBLE_EQ(ring.At(10, 10).a, 0.0);
    EXPECT_DOUBLE_EQ(ring.At(10, 1).a, 1.0);
    EXPECT_DOUBLE_EQ(ring.At(0, 0).a, 0.0) << "outside the ring";
}

TEST(ImageCanvas, RoundCornersAreSmoothedAndCut)
{
    const TCanvas c = Draw("size 40 40\nfill #00000000\nroundrect 0 0 40 40 10 #ffffff\n");
    EXPECT_DOUBLE_EQ(c.At(0, 0).a, 0.0) << "the corner is cut away";
    EXPECT_DOUBLE_EQ(c.At(20, 0).a, 1.0);
    EXPECT_DOUBLE_EQ(c.At(20, 20).a, 1.0);
    // Somewhere along the corner's arc a pixel is partly covered.
    bool partial = false;
    for (int i = 0; i < 10; ++i)
        partial |= c.At(i, 2).a > 0.0 && c.At(i, 2).a < 1.0;
    EXPECT_TRUE(partial);
}

TEST(ImageCanvas, GradientsRunFromEdgeToEdge)
{
    const TCanvas c = Draw("size 4 11\ngradient 0 0 4 11 #000000 #ffffff\n");
    EXPECT_DOUBLE_EQ(c.At(0, 0).r, 0.0);
    EXPECT_DOUBLE_EQ(c.At(0, 10).r, 1.0);
    EXPECT_NEAR(c.At(3, 5).r, 0.5, 1e-9);
}

TEST(ImageCanvas, ShapesPastTheEdgeAreCut)
{
    const TCanvas c = Draw("size 8 8\nfill #00000000\ncircle -100 -100 500 #ffffff\nrect 6 6 100 100 #ff0000\n");
    EXPECT_DOUBLE_EQ(c.At(0, 0).a, 1.0);
    EXPECT_DOUBLE_EQ(c.At(7, 7).r, 1.0);
    EXPECT_DOUBLE_EQ(c.At(7, 7).g, 0.0);
}

class ImagegenProgram : public testing::Test
{
protected:
    TToolResult Run(const std::vector<std::string>& args) { return RunTool(TV_IMAGEGEN_PATH, args); }
    // Pixel (x, y) of a decoded block as 0xAARRGGBB.
    static uint32_t Pixel(const unsigned char* block, int side, int x, int y)
    {
        const unsigned char* p = block + (static_cast<size_t>(y) * side + x) * 4;  // blue, green, red, alpha
        return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    TScratchDir mDir;
};

TEST_F(ImagegenProgram, ThePictureLoadsWithItsPixels)
{
    const std::string in = mDir.Write("b.img", "size 30 20\nfill #00000000\nrect 0 0 10 20 #ff0000\n"
                                               "rect 10 0 10 20 #00ff0080\nrect 20 10 10 10 #0000ff\n");
    const TToolResult r = Run({in, mDir.File("b.png")});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0, alpha = 0;
    unsigned long unused = 1;
    ASSERT_TRUE(EzPngLoadImage(("::" + mDir.File("b.png")).c_str(), &pixels, &width, &height, &side, &unused, &alpha));
    EXPECT_EQ(width, 30);
    EXPECT_EQ(height, 20);
    EXPECT_EQ(alpha, 1);
    EXPECT_EQ(Pixel(pixels, side, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, side, 15, 5), 0x8000FF00u);
    EXPECT_EQ(Pixel(pixels, side, 25, 15), 0xFF0000FFu);
    EXPECT_EQ(Pixel(pixels, side, 25, 5), 0x00000000u);
    EzPngFreeImage(pixels);
}

TEST_F(ImagegenProgram, FramesOfAnAnimationDiffer)
{
    const std::string in = mDir.Write("f.img", "size 8 1\nfill #000000\nrect 0~4 0 1 1 #ffffff\n");
    ASSERT_EQ(Run({"--frame", "1", "--frames", "2", in, mDir.File("f1.png")}).exitCode, 0);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0;
    ASSERT_TRUE(
        EzPngLoadImage(("::" + mDir.File("f1.png")).c_str(), &pixels, &width, &height, &side, nullptr, nullptr));
    EXPECT_EQ(Pixel(pixels, side, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(pixels, side, 2, 0), 0xFFFFFFFFu);
    EzPngFreeImage(pixels);
}

TEST_F(ImagegenProgram, BadInputGivesAMessageAndAnExitCodeAndNoFile)
{
    const std::string out = mDir.File("bad.png");
    TToolResult r = Run({mDir.Write("bad.img", "size 8 8\nrect 1 2 3\n"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("bad.img:2: expected 'rect X Y W H COLOUR'"), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out));

    r = Run({mDir.File("missing.img"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("cannot read"), std::string::npos);

    r = Run({mDir.Write("ok.img", "size 2 2\n"), mDir.File("ok.img/x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("cannot write"), std::string::npos) << r.output;

    EXPECT_EQ(Run({"--frame", "x", "a.img", "b.png"}).exitCode, 2);
    EXPECT_EQ(Run({"a.img"}).exitCode, 2);
    r = Run({"--frame", "3", "--frames", "2", mDir.File("ok.img"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("frame 3 of 2 does not exist"), std::string::npos) << r.output;
}

}  // namespace
