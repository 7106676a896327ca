#include "render/gl/gl_display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include "../support/render_test_support.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// An untextured quad of one colour, in viewport pixels.
void DrawQuad(float l, float t, float r, float b, TColor32 color)
{
    TTransformedLitVert v[4] = {};
    const float xs[4] = {l, r, r, l};
    const float ys[4] = {t, t, b, b};
    for (int i = 0; i < 4; ++i) {
        v[i].position = TVec3(xs[i], ys[i], 0.1f);
        v[i].rhw = 0.5f;
        v[i].diffuse = color;
    }
    TVertexSet set(v, 4);
    TRenderer::GetInstance()->SetTexture(nullptr);
    TRenderer::GetInstance()->DrawVertices(TRenderer::kTriangleFan, set);
}

class DisplayHandler : public GLTest
{
protected:
    TRenderer* R() { return TRenderer::GetInstance(); }
    TGLDisplayHandler* H() { return TGLDisplayHandler::GetInstance(); }
};

TEST_F(DisplayHandler, ViewportOffTheLeftEdgeKeepsItsOrigin)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->PushViewport(TRect(-50, 0, 150, 100));
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    DrawQuad(50, 10, 51, 20, TColor32(255, 0, 0, 255));
    R()->PopViewport();
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(0, 15), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(1, 15), 0u);
}

TEST_F(DisplayHandler, ViewportPlacesDrawingAndBottomEntrySurvivesPops)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->PushViewport(TRect(100, 50, 200, 100));
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    DrawQuad(0, 0, 4, 4, TColor32(0, 255, 0, 255));
    R()->PopViewport();
    R()->PopViewport();
    R()->PopViewport();
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(100, 50), 0xFF00FF00u);
    EXPECT_EQ(ReadPixel(103, 53), 0xFF00FF00u);
    EXPECT_EQ(ReadPixel(104, 53), 0u);
    EXPECT_EQ(ReadPixel(99, 50), 0u);
    TRect v;
    R()->GetViewport(&v);
    EXPECT_EQ(v, TRect(0, 0, kTestDisplayWidth, kTestDisplayHeight));
}

TEST_F(DisplayHandler, ClippingIsTheScissor)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    R()->PushClippingRectangle(TURect(10, 20, 30, 25));
    R()->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), TColor(0, 0, 1, 1));
    R()->PopClippingRectangle();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(10, 20), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(29, 24), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(30, 24), 0u);
    EXPECT_EQ(ReadPixel(29, 25), 0u);
    EXPECT_EQ(ReadPixel(9, 20), 0u);
}

TEST_F(DisplayHandler, PreScaledVerticesUseTheWholeFrameCutToViewportAndClip)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->PushViewport(TRect(100, 50, 200, 100));
    R()->PushClippingRectangle(TURect(0, 0, 150, 128));
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    TPreScaledTransformedLitVert v[4] = {};
    const float xs[4] = {90, 160, 160, 90};
    const float ys[4] = {40, 40, 60, 60};
    for (int i = 0; i < 4; ++i) {
        v[i].position = TVec3(xs[i], ys[i], 0.1f);
        v[i].diffuse = TColor32(255, 255, 0, 255);
    }
    TVertexSet set(v, 4);
    R()->DrawVertices(TRenderer::kTriangleFan, set);
    // The viewport and clip are as they were for the next draw.
    DrawQuad(0, 20, 2, 22, TColor32(0, 255, 255, 255));
    R()->PopClippingRectangle();
    R()->PopViewport();
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(100, 50), 0xFFFFFF00u);
    EXPECT_EQ(ReadPixel(149, 59), 0xFFFFFF00u);
    EXPECT_EQ(ReadPixel(150, 55), 0u);
    EXPECT_EQ(ReadPixel(95, 55), 0u);
    EXPECT_EQ(ReadPixel(120, 45), 0u);
    EXPECT_EQ(ReadPixel(101, 71), 0xFF00FFFFu);
}

TEST_F(DisplayHandler, IndexedTrianglesAndUntexturedLines)
{
    TTransformedLitVert v[4] = {};
    const float xs[4] = {10, 20, 20, 10};
    const float ys[4] = {10, 10, 20, 20};
    for (int i = 0; i < 4; ++i) {
        v[i].position = TVec3(xs[i], ys[i], 0.1f);
        v[i].diffuse = TColor32(255, 0, 0, 255);
    }
    unsigned short quad[6] = {0, 1, 2, 0, 2, 3};
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    TVertexSet set(v, 4);
    R()->DrawIndexedVertices(TRenderer::kTriangleList, set, quad, 6);
    TTransformedLitVert line[2] = {};
    line[0].position = TVec3(30, 40.5f, 0.1f);
    line[1].position = TVec3(40, 40.5f, 0.1f);
    line[0].diffuse = line[1].diffuse = TColor32(0, 0, 255, 255);
    TVertexSet lineSet(line, 2);
    R()->DrawVertices(TRenderer::kLineList, lineSet);
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(19, 19), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(20, 19), 0u);
    EXPECT_EQ(ReadPixel(35, 40), 0xFF0000FFu);
}

TEST_F(DisplayHandler, OptionsAsStored)
{
    H()->SetOption("x", "5");
    EXPECT_EQ(H()->GetOption("x"), str(""));
    EXPECT_EQ(H()->GetOption("texture_rectangle"), str("0"));
    R()->SetOption("texture_rectangle", "1");
    EXPECT_EQ(R()->GetOption("texture_rectangle"), str("1"));
    EXPECT_FALSE(R()->GetTextureSquareFlag());
    H()->SetOption("avoid_fillrect_if_16bit", "true");
    EXPECT_EQ(H()->GetOption("avoid_fillrect_if_16bit"), str("true"));
    H()->SetOption("mac_use_hw_cursors", "1");
    EXPECT_EQ(H()->GetOption("mac_use_hw_cursors"), str("1"));
    EXPECT_EQ(R()->GetOption("fps"), str(""));
}

struct TBlendCase
{
    TRenderer::EBlendMode mode;
    float (*channel)(float src, float srcAlpha, float dst);
};

float Channel(uint32_t p, int shift)
{
    return static_cast<float>((p >> shift) & 0xFF) / 255.0f;
}

TEST_F(DisplayHandler, EachBlendModeByReadBack)
{
    const TColor background(0.4f, 0.2f, 1.0f, 1.0f);
    const uint32_t src = 0x80C86432u;  // alpha 128, red 200, green 100, blue 50
    const TBlendCase cases[] = {
        {TRenderer::kBlendNormal, [](float s, float a, float d) { return s * a + d * (1 - a); }},
        {TRenderer::kBlendOpaque, [](float s, float, float) { return s; }},
        {TRenderer::kBlendAdditiveAlpha, [](float s, float a, float d) { return std::min(1.0f, d + s * a); }},
        {TRenderer::kBlendSubtractive, [](float s, float, float d) { return d * (1 - s); }},
        {TRenderer::kBlendMultiplicative, [](float s, float, float d) { return d * s; }},
    };
    int x = 0;
    ASSERT_TRUE(R()->BeginDraw(false));
    R()->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), background);
    ASSERT_TRUE(R()->Begin2d());
    for (const TBlendCase& c : cases) {
        R()->SetBlendMode(c.mode);
        DrawQuad(static_cast<float>(x), 0, static_cast<float>(x + 10), 10, TColor32(src));
        x += 20;
    }
    R()->End2d();
    R()->EndDraw(false);
    const uint32_t bg = ReadPixel(kTestDisplayWidth - 1, kTestDisplayHeight - 1);
    x = 0;
    for (const TBlendCase& c : cases) {
        const uint32_t got = ReadPixel(x + 5, 5);
        const float a = Channel(src, 24);
        for (int shift : {0, 8, 16}) {
            const float want = c.channel(Channel(src, shift), a, Channel(bg, shift)) * 255.0f;
            EXPECT_NEAR(static_cast<float>((got >> shift) & 0xFF), want, 2.0f)
                << "mode " << c.mode << " shift " << shift;
        }
        x += 20;
    }
}

class RenderTargetModes : public DisplayHandler
{
protected:
    // One pass: the whole target filled with `fill`, then the top-left 8×4 corner with
    // `corner`, both without blending.
    void Pass(const std::shared_ptr<TTexture>& t, TRenderer::ERenderTargetMode mode, const TColor* fill,
              const TColor& corner)
    {
        ASSERT_TRUE(R()->BeginRenderTarget(t, mode));
        ASSERT_TRUE(R()->Begin2d());
        if (fill)
            R()->FillRect(TURect(0, 0, t->GetWidth(), t->GetHeight()), *fill);
        R()->FillRect(TURect(0, 0, 8, 4), corner);
        R()->End2d();
        R()->EndRenderTarget();
    }
};

TEST_F(RenderTargetModes, NormalForcesAlphaAndKeepsOrientation)
{
    auto t = TTexture::Create(32, 16, true);
    ASSERT_TRUE(t);
    const TColor black(0, 0, 0, 0.25f);
    Pass(t, TRenderer::kRenderTargetNormal, &black, TColor(1, 0, 0, 0.5f));
    EXPECT_EQ(TexturePixel(t, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(t, 7, 3), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(t, 8, 3), 0xFF000000u);
    EXPECT_EQ(TexturePixel(t, 0, 4), 0xFF000000u);
    EXPECT_EQ(TexturePixel(t, 31, 15), 0xFF000000u);
}

TEST_F(RenderTargetModes, KeepAlphaKeepsRenderedAlpha)
{
    auto t = TTexture::Create(32, 16, true);
    ASSERT_TRUE(t);
    const TColor clear(0, 0, 0, 0);
    Pass(t, TRenderer::kRenderTargetKeepAlpha, &clear, TColor(0, 1, 0, 0.5f));
    EXPECT_TRUE(NearColor(TexturePixel(t, 3, 2), 0x8000FF00u, 1));
    EXPECT_EQ(TexturePixel(t, 20, 10), 0u);
}

TEST_F(RenderTargetModes, FromTextureStartsWithTheImage)
{
    auto t = TTexture::Create(32, 16, true);
    ASSERT_TRUE(t);
    R()->FillRect(TURect(0, 0, 32, 16), TColor(0, 0, 1, 0.25f), t);
    Pass(t, TRenderer::kRenderTargetFromTexture, nullptr, TColor(1, 0, 0, 1));
    EXPECT_EQ(TexturePixel(t, 1, 1), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(t, 20, 10), 0xFF0000FFu);

    auto k = TTexture::Create(32, 16, true);
    R()->FillRect(TURect(0, 0, 32, 16), TColor(0, 0, 1, 0.25f), k);
    Pass(k, TRenderer::kRenderTargetFromTextureKeepAlpha, nullptr, TColor(1, 0, 0, 1));
    EXPECT_EQ(TexturePixel(k, 1, 1), 0xFFFF0000u);
    EXPECT_TRUE(NearColor(TexturePixel(k, 20, 10), 0x400000FFu, 1));
}

TEST_F(RenderTargetModes, AlphaMaskReplacesOnlyAlpha)
{
    auto t = TTexture::Create(32, 16, true);
    ASSERT_TRUE(t);
    R()->FillRect(TURect(0, 0, 32, 16), TColor(0, 0, 1, 1), t);
    Pass(t, TRenderer::kRenderTargetAlphaMask, nullptr, TColor(0.3f, 0.6f, 0.9f, 0.5f));
    // Colour kept; alpha from the rendered blue channel. The fill writes its alpha (0.5) as
    // colour and is blended in with source alpha onto the cleared area: 0.5 × 0.5.
    EXPECT_TRUE(NearColor(TexturePixel(t, 2, 2), 0x400000FFu, 1)) << std::hex << TexturePixel(t, 2, 2);
    EXPECT_EQ(TexturePixel(t, 20, 10), 0x000000FFu);

    auto opaque = TTexture::Create(32, 16, false);
    R()->FillRect(TURect(0, 0, 32, 16), TColor(0, 1, 0, 1), opaque);
    Pass(opaque, TRenderer::kRenderTargetAlphaMask, nullptr, TColor(1, 1, 1, 0.5f));
    EXPECT_EQ(TexturePixel(opaque, 2, 2), 0xFF00FF00u);
    EXPECT_EQ(TexturePixel(opaque, 20, 10), 0xFF00FF00u);
}

TEST_F(RenderTargetModes, TargetLargerThanTheDisplay)
{
    auto t = TTexture::Create(512, 256, true);
    ASSERT_TRUE(t);
    ASSERT_TRUE(R()->BeginRenderTarget(t, TRenderer::kRenderTargetKeepAlpha));
    R()->PushClippingRectangle(TURect(0, 0, 512, 256));
    ASSERT_TRUE(R()->Begin2d());
    R()->FillRect(TURect(0, 0, 512, 256), TColor(0, 0, 0, 0));
    R()->FillRect(TURect(400, 200, 410, 210), TColor(1, 1, 0, 1));
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    DrawQuad(300, 240, 302, 242, TColor32(0, 255, 255, 255));
    R()->End2d();
    R()->PopClippingRectangle();
    R()->EndRenderTarget();
    EXPECT_EQ(TexturePixel(t, 405, 205), 0xFFFFFF00u);
    EXPECT_EQ(TexturePixel(t, 301, 241), 0xFF00FFFFu);
    EXPECT_EQ(TexturePixel(t, 399, 205), 0u);
    EXPECT_EQ(TexturePixel(t, 300, 242), 0u);
}

TEST_F(RenderTargetModes, EndWithoutPassIsLoggedAndHarmless)
{
    TLogCapture log;
    R()->EndRenderTarget();
    EXPECT_NE(log.Text().find("EndRenderTarget without a render target"), std::string::npos);
    EXPECT_FALSE(R()->InDraw());
}

class ScreenPlatform : public TRenderPlatform
{
public:
    bool GetScreenWindowSize(int* w, int* h) override
    {
        *w = kTestDisplayWidth;
        *h = kTestDisplayHeight;
        return true;
    }
    bool ShowSoftwareCursor() override { return cursor; }
    bool IsMouseInContent() override { return true; }
    TPoint GetMouse() override { return TPoint(20, 30); }
    void SwapBuffers() override { ++swaps; }
    bool cursor = false;
    int swaps = 0;
};

TEST_F(RenderTargetModes, CaptureTakesTheFinishedFrameUpright)
{
    ScreenPlatform platform;
    SetRenderPlatform(&platform);
    auto small = TTexture::Create(10, 10, false);
    R()->SetCaptureTexture(small);
    EXPECT_FALSE(R()->GetCaptureTexture());
    auto capture = TTexture::Create(kTestDisplayWidth, kTestDisplayHeight, false);
    R()->SetCaptureTexture(capture);
    ASSERT_EQ(R()->GetCaptureTexture(), capture);

    ASSERT_TRUE(R()->BeginDraw(false));
    R()->FillRect(TURect(0, 0, 10, 6), TColor(1, 0, 0, 1));
    R()->FillRect(TURect(0, kTestDisplayHeight - 3, 4, kTestDisplayHeight), TColor(0, 1, 0, 1));
    R()->EndDraw(true);
    EXPECT_EQ(platform.swaps, 1);
    EXPECT_FALSE(R()->GetCaptureTexture());
    EXPECT_EQ(TexturePixel(capture, 2, 2), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(capture, 2, kTestDisplayHeight - 1), 0xFF00FF00u);
    // The frame's untouched transparent black; alpha is forced only on textures with alpha.
    EXPECT_EQ(TexturePixel(capture, 20, 20), 0u);
}

// With the shown image kept: shows a magenta square, then covers the whole buffer in black
// without showing it.
void ShowASquareThenCoverIt(TRenderer* r)
{
    TGLDisplayHandler::GetInstance()->SetKeepShownImage(true);
    ASSERT_TRUE(r->BeginDraw(false));
    r->FillRect(TURect(5, 5, 15, 15), TColor(1, 0, 1, 1));
    r->EndDraw(true);
    ASSERT_TRUE(r->BeginDraw(false));
    r->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), TColor(0, 0, 0, 1));
    r->EndDraw(false);
}

TEST_F(DisplayHandler, PreservedFrameStartsFromTheShownImage)
{
    ScreenPlatform platform;
    SetRenderPlatform(&platform);
    // As on a double-buffered surface, where drawing after the swap is not shown.
    ShowASquareThenCoverIt(R());
    EXPECT_EQ(ReadPixel(10, 10), 0xFF000000u);
    ASSERT_TRUE(R()->BeginDraw(true));
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(10, 10), 0xFFFF00FFu);
    EXPECT_EQ(ReadPixel(20, 20), 0u);
}

TEST_F(DisplayHandler, OnASingleBufferPreservingKeepsWhatTheBufferHolds)
{
    // Nothing is kept until a preserved frame asks, on any surface.
    EXPECT_FALSE(H()->KeepsShownImage());

    ScreenPlatform platform;
    SetRenderPlatform(&platform);
    H()->SetKeepShownImage(false);
    ASSERT_TRUE(R()->BeginDraw(false));
    R()->FillRect(TURect(5, 5, 15, 15), TColor(1, 0, 1, 1));
    R()->EndDraw(true);
    EXPECT_EQ(platform.swaps, 1);
    ASSERT_TRUE(R()->BeginDraw(false));
    R()->FillRect(TURect(0, 0, 12, 12), TColor(0, 0, 0, 1));
    R()->EndDraw(false);
    ASSERT_TRUE(R()->BeginDraw(true));
    R()->EndDraw(true);
    EXPECT_EQ(platform.swaps, 2);
    EXPECT_EQ(ReadPixel(10, 10), 0xFF000000u);
    EXPECT_EQ(ReadPixel(13, 13), 0xFFFF00FFu);
    // The buffer is the shown image: asking to preserve it costs no copy from then on.
    EXPECT_FALSE(H()->KeepsShownImage());
}

TEST_F(DisplayHandler, RebuildingTheDisplayDropsTheKeptImage)
{
    ScreenPlatform platform;
    SetRenderPlatform(&platform);
    ShowASquareThenCoverIt(R());
    H()->RebuildDisplay();
    ASSERT_TRUE(R()->BeginDraw(true));
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(10, 10), 0xFF000000u);
    unsigned width = 0, height = 0;
    H()->GetDisplay(&width, &height, nullptr);
    EXPECT_EQ(width, unsigned(kTestDisplayWidth));
    EXPECT_EQ(height, unsigned(kTestDisplayHeight));
}

TEST_F(DisplayHandler, SoftwareCursorMagentaIsTransparent)
{
    ScreenPlatform platform;
    platform.cursor = true;
    SetRenderPlatform(&platform);
    auto cursor = TTexture::Create(8, 8, false);
    ASSERT_TRUE(cursor);
    R()->FillRect(TURect(0, 0, 8, 8), TColor(1, 1, 1, 1), cursor);
    R()->FillRect(TURect(4, 0, 8, 8), TColor(1, 0, 1, 1), cursor);
    H()->SetCursor(cursor, TPoint(0, 0), false);
    EXPECT_TRUE(cursor->HasAlpha());

    ASSERT_TRUE(R()->BeginDraw(false));
    R()->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), TColor(0, 0, 1, 1));
    R()->EndDraw(true);
    // Drawn with its top-left one pixel right of and below the mouse.
    EXPECT_EQ(ReadPixel(21, 31), 0xFFFFFFFFu);
    EXPECT_EQ(ReadPixel(24, 31), 0xFFFFFFFFu);
    EXPECT_EQ(ReadPixel(26, 33), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(20, 30), 0xFF0000FFu);
}

}  // namespace
