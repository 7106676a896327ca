#include "render/text/text_graphic.h"
#include "text_fixture.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"
#include "render/renderer/renderer.h"
#include "render/text/text_services.h"
#include "render/texture/texture.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>

namespace {

using DrawTest = TextFixture;

constexpr uint32_t kBlack = 0xFF000000u;

}  // namespace

TEST_F(DrawTest, GlyphLandsOnItsBaseline)
{
    auto t = Make("a");
    TMemorySurface m(20, 25, kBlack);
    t->DrawToSurface(TVec2(0, 0), 100, 1.0f, 0, 1.0f, &m.surface);
    // Baseline at 75 q = 18.75 px (truncated to 18); the box is 10 by 15 pixels above it.
    EXPECT_EQ(m.At(0, 3), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(9, 17), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(10, 10), kBlack);
    EXPECT_EQ(m.At(5, 2), kBlack);
    EXPECT_EQ(m.At(5, 18), kBlack);
    EXPECT_EQ(m.CountDifferent(kBlack), 150);

    // Moved by the origin, with half the alpha.
    TMemorySurface moved(20, 25, kBlack);
    t->DrawToSurface(TVec2(3, 2), 100, 1.0f, 0, 0.5f, &moved.surface);
    EXPECT_EQ(moved.At(3, 5), 0xFF7F7F7Fu);
    EXPECT_EQ(moved.At(2, 5), kBlack);
}

TEST_F(DrawTest, NothingForNegativeScaleOrClippedLines)
{
    auto t = Make("a<br>b");
    TMemorySurface m(20, 60, kBlack);
    t->DrawToSurface(TVec2(0, 0), 100, -1.0f, 0, 1.0f, &m.surface);
    EXPECT_EQ(m.CountDifferent(kBlack), 0);
    // Only the first line's bottom (25) fits a clip height of 30.
    t->DrawToSurface(TVec2(0, 0), 30, 1.0f, 0, 1.0f, &m.surface);
    EXPECT_EQ(m.CountDifferent(kBlack), 150);
    EXPECT_EQ(m.At(5, 10), 0xFFFFFFFFu);
    EXPECT_EQ(m.At(5, 35), kBlack);
}

TEST_F(DrawTest, UnderlineRolloverAndScroll)
{
    auto t = Make("<u>a</u>");
    TMemorySurface m(20, 25, kBlack);
    t->DrawToSurface(TVec2(0, 0), 100, 1.0f, 0, 1.0f, &m.surface);
    // 8..11 q under the baseline row 18: three quarters of pixel row 20, 40 q wide.
    EXPECT_EQ(m.At(5, 20), 0xFFBFBFBFu);
    EXPECT_EQ(m.At(9, 20), 0xFFBFBFBFu);
    EXPECT_EQ(m.At(10, 20), kBlack);
    EXPECT_EQ(m.At(5, 21), kBlack);

    auto link = Make("<a id=\"x\" color=\"FF0000\">a");
    const TPoint over(5, 10);
    ASSERT_TRUE(link->Rollover(&over, 0));
    TMemorySurface red(20, 25, kBlack);
    link->DrawToSurface(TVec2(0, 0), 100, 1.0f, 0, 1.0f, &red.surface);
    EXPECT_EQ(red.At(5, 10), 0xFFFF0000u);

    auto two = Make("a<br>bb");
    two->SetScroll(1);
    TMemorySurface scrolled(30, 25, kBlack);
    two->DrawToSurface(TVec2(0, 0), 100, 1.0f, 0, 1.0f, &scrolled.surface);
    EXPECT_EQ(scrolled.CountDifferent(kBlack), 300);  // the two glyphs of the second line
}

TEST_F(DrawTest, MatchesTheStoredReferencePicture)
{
    TTextGraphicPtr t(TTextGraphic::Create(
        "Tessivander <b>bold</b> <i>slanted</i> <u>under</u><br>"
        "<outline color=\"000000\" size=\"1\"><font color=\"FFCC00\" size=\"24\">Outlined 123</font></outline>"
        "<center><br>Centred \xC3\xA9t\xC3\xA9 \xE2\x82\xAC 5",
        240, 90, 0, nullptr, 18, TColor(1, 1, 1, 1)));
    TMemorySurface m(256, 96, 0xFF203040u);
    t->DrawToSurface(TVec2(8, 4), 96, 1.0f, 0, 1.0f, &m.surface);
    EXPECT_GT(m.CountDifferent(0xFF203040u), 1500);

    const std::string path = std::string(TV_TEST_SOURCE_DIR) + "/tests/render/text/data/text_reference.png";
    TTestImage drawn(256, 96);
    for (size_t i = 0; i < m.pixels.size(); ++i)
        drawn.pixels[i] = m.pixels[i].Value();
    if (std::getenv("TV_UPDATE_TEXT_REFERENCE")) {
        ASSERT_TRUE(WritePng(path, drawn, PNG_COLOR_TYPE_RGB_ALPHA));
        GTEST_SKIP() << "reference written to " << path;
    }
    TTestImage reference(1, 1);
    ASSERT_TRUE(ReadPng(path, &reference)) << path;
    ASSERT_EQ(reference.width, 256);
    ASSERT_EQ(reference.height, 96);
    int off = 0;
    for (size_t i = 0; i < drawn.pixels.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int a = static_cast<int>((drawn.pixels[i] >> shift) & 0xFF);
            const int b = static_cast<int>((reference.pixels[i] >> shift) & 0xFF);
            if (std::abs(a - b) > 2) {
                ++off;
                break;
            }
        }
    }
    EXPECT_LE(off, 0) << "pixels differing from " << path;
}

namespace {

class ScreenDrawTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        mServices = std::make_unique<TTextTestServices>();
    }
    void TearDown() override
    {
        mServices.reset();
        GLTest::TearDown();
    }
    std::unique_ptr<TTextTestServices> mServices;
};

}  // namespace

TEST_F(ScreenDrawTest, SpansReachTheScreenAsLines)
{
    auto t = MakeRoundText("a");
    TRenderer* r = TRenderer::GetInstance();
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    r->SetBlendMode(TRenderer::kBlendNormal);
    t->Draw(TVec2(10, 20), 100, 1.0f, 0, 1.0f, nullptr);
    r->End2d();
    r->EndDraw(false);
    // The same place as in memory: x 10..19, y 23..37.
    EXPECT_TRUE(NearColor(ReadPixel(10, 23) | 0xFF000000u, 0xFFFFFFFFu, 2)) << std::hex << ReadPixel(10, 23);
    EXPECT_TRUE(NearColor(ReadPixel(19, 37) | 0xFF000000u, 0xFFFFFFFFu, 2)) << std::hex << ReadPixel(19, 37);
    EXPECT_EQ(ReadPixel(20, 30) & 0x00FFFFFFu, 0u);
    EXPECT_EQ(ReadPixel(15, 22) & 0x00FFFFFFu, 0u);
    EXPECT_EQ(ReadPixel(15, 38) & 0x00FFFFFFu, 0u);
    EXPECT_EQ(ReadPixel(9, 30) & 0x00FFFFFFu, 0u);
}

TEST_F(ScreenDrawTest, TextInAViewportIsPlacedOnceRelativeToIt)
{
    // Windows draw inside their own viewport: the origin is viewport-relative.
    auto t = MakeRoundText("a");
    TRenderer* r = TRenderer::GetInstance();
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    r->PushViewport(TRect(100, 50, 300, 200));
    r->SetBlendMode(TRenderer::kBlendNormal);
    t->Draw(TVec2(10, 20), 100, 1.0f, 0, 1.0f, nullptr);
    r->PopViewport();
    r->End2d();
    r->EndDraw(false);
    EXPECT_TRUE(NearColor(ReadPixel(110, 73) | 0xFF000000u, 0xFFFFFFFFu, 2)) << std::hex << ReadPixel(110, 73);
    EXPECT_TRUE(NearColor(ReadPixel(119, 87) | 0xFF000000u, 0xFFFFFFFFu, 2)) << std::hex << ReadPixel(119, 87);
    EXPECT_EQ(ReadPixel(210, 123) & 0x00FFFFFFu, 0u) << "not offset by the viewport twice";
    EXPECT_EQ(ReadPixel(10, 23) & 0x00FFFFFFu, 0u);
}

namespace {

int sInvalidations = 0;
void CountInvalidation()
{
    ++sInvalidations;
}

}  // namespace

TEST_F(ScreenDrawTest, TextDrawnIntoATextureLandsInItsPixelsAndUnlocksIt)
{
    auto t = MakeRoundText("a");
    std::shared_ptr<TTexture> target = TTexture::Create(64, 64, true);
    ASSERT_TRUE(target);
    sInvalidations = 0;
    SetScreenInvalidator(&CountInvalidation);

    // Alpha blending over transparent pixels gives the text's own colour and coverage.
    t->SetAlphaBlend();
    t->Draw(TVec2(10, 20), 100, 1.0f, 0, 1.0f, target);
    EXPECT_EQ(sInvalidations, 1) << "the screen is redrawn once the texture is released";
    EXPECT_TRUE(NearColor(TexturePixel(target, 10, 23), 0xFFFFFFFFu, 2)) << std::hex << TexturePixel(target, 10, 23);
    EXPECT_TRUE(NearColor(TexturePixel(target, 19, 37), 0xFFFFFFFFu, 2)) << std::hex << TexturePixel(target, 19, 37);
    EXPECT_EQ(TexturePixel(target, 20, 30), 0u);
    EXPECT_EQ(TexturePixel(target, 15, 22), 0u);

    // The drawer let go of the texture: a second text goes in as well, further right.
    auto second = MakeRoundText("a");
    second->SetAlphaBlend();
    second->Draw(TVec2(40, 20), 100, 1.0f, 0, 1.0f, target);
    EXPECT_EQ(sInvalidations, 2);
    EXPECT_TRUE(NearColor(TexturePixel(target, 40, 23), 0xFFFFFFFFu, 2)) << std::hex << TexturePixel(target, 40, 23);
    EXPECT_TRUE(NearColor(TexturePixel(target, 10, 23), 0xFFFFFFFFu, 2)) << "the first text stays";

    // Without a blend mode the colour is mixed in and the texture's alpha kept.
    std::shared_ptr<TTexture> opaque = TTexture::Create(64, 64, true);
    ASSERT_TRUE(opaque);
    auto third = MakeRoundText("a");
    third->Draw(TVec2(10, 20), 100, 1.0f, 0, 1.0f, opaque);
    EXPECT_TRUE(NearColor(TexturePixel(opaque, 10, 23), 0x00FFFFFFu, 2)) << std::hex << TexturePixel(opaque, 10, 23);
    SetScreenInvalidator(nullptr);
}

TEST_F(ScreenDrawTest, PixelAccessLocksOnceAndGivesTheTextureSize)
{
    TZvMiniVecDraw drawer;
    std::shared_ptr<TTexture> target = TTexture::Create(40, 24, true);
    ASSERT_TRUE(target);
    EXPECT_FALSE(drawer.GetPixelAccess(nullptr));
    EXPECT_TRUE(drawer.GetPixelAccess(target));
    EXPECT_TRUE(drawer.GetPixelAccess(target)) << "asking again for the held texture keeps the lock";
    drawer.SetColor(TZvMiniVecDraw::kFillSlot, TColor(1, 0, 0, 1), 1.0f);
    drawer.SetNoBlend(true);
    drawer.Start(0.0f, 0.0f, target);
    TZvMiniVecDraw::DrawBox(&drawer, 0, 0, 400, 400, 0, 0);  // far larger than the texture
    drawer.Stop();
    EXPECT_TRUE(NearColor(TexturePixel(target, 0, 0), 0xFFFF0000u, 2)) << std::hex << TexturePixel(target, 0, 0);
    EXPECT_TRUE(NearColor(TexturePixel(target, 39, 23), 0xFFFF0000u, 2)) << std::hex << TexturePixel(target, 39, 23);
}
