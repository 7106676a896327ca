// The heads-up text: red text in the built-in font at the top-left corner of the frame.
#include "render/text/hud_text.h"
#include "text_fixture.h"

#include "../support/render_test_support.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TRedCount
{
    int red = 0;    // clearly red pixels
    int other = 0;  // lit pixels of any other colour
};

class HudTextTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        mServices = std::make_unique<TTextTestServices>();
    }
    void TearDown() override
    {
        SetRenderPlatform(nullptr);
        mServices.reset();
        GLTest::TearDown();
    }
    std::unique_ptr<TTextTestServices> mServices;

    static TRedCount CountLit(int x0, int y0, int x1, int y1)
    {
        TRedCount count;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const uint32_t p = ReadPixel(x, y);
                const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                if (r == 0 && g == 0 && b == 0)
                    continue;
                if (r > 100 && g < 8 && b < 8)
                    ++count.red;
                else if (g > 8 || b > 8)
                    ++count.other;
            }
        }
        return count;
    }
};

// A platform whose HUD has text, as the program's has.
class THudPlatform : public TRenderPlatform
{
public:
    std::unique_ptr<THudText> CreateHudText() override
    {
        ++made;
        return std::make_unique<THudTextGraphic>();
    }
    int made = 0;
};

TEST_F(HudTextTest, DrawsRedTextAtTheTopLeftCorner)
{
    THudTextGraphic hud;
    TRenderer* r = TRenderer::GetInstance();
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    hud.Draw();  // no text yet: nothing to see
    r->End2d();
    r->EndDraw(false);
    EXPECT_EQ(CountLit(0, 0, 128, 64).red, 0);

    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    r->SetBlendMode(TRenderer::kBlendNormal);
    hud.SetText("HUD 1234");
    hud.Draw();
    r->End2d();
    r->EndDraw(false);

    // One 16-pixel line from the left edge: red glyph pixels there, nothing further down.
    const TRedCount line = CountLit(0, 0, 128, 20);
    EXPECT_GT(line.red, 40);
    EXPECT_EQ(line.other, 0);
    EXPECT_EQ(CountLit(0, 24, 128, 64).red, 0);
    EXPECT_EQ(CountLit(96, 0, 256, 20).red, 0) << "eight characters stay well short of 96 pixels";
}

TEST_F(HudTextTest, RendererDrawsItsStatusTextOnlyWhileTheHudIsShown)
{
    THudPlatform platform;
    SetRenderPlatform(&platform);
    TRenderer* r = TRenderer::GetInstance();

    ASSERT_TRUE(r->BeginDraw(false));
    r->EndDraw(false);
    EXPECT_EQ(platform.made, 0);
    EXPECT_EQ(CountLit(0, 0, 200, 64).red, 0);

    EXPECT_FALSE(r->ToggleHUD());
    ASSERT_TRUE(r->BeginDraw(false));
    r->EndDraw(false);
    ASSERT_TRUE(r->BeginDraw(false));
    r->EndDraw(false);
    // Made once, on first use, and reused.
    EXPECT_EQ(platform.made, 1);
    // "Gantrimole Version 4.0.18.1" and the lines below it.
    EXPECT_GT(CountLit(0, 0, 200, 16).red, 100);
    EXPECT_GT(CountLit(0, 16, 140, 64).red, 100);
}

}  // namespace
