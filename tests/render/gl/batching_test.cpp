#include "render/gl/gl_display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include "../support/render_test_support.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<uint32_t> ReadFrame()
{
    std::vector<uint32_t> pixels(static_cast<size_t>(kTestDisplayWidth) * kTestDisplayHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, kTestDisplayWidth, kTestDisplayHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    return pixels;
}

std::vector<uint32_t> ReadTexture(const std::shared_ptr<TTexture>& t)
{
    std::vector<uint32_t> pixels;
    for (unsigned y = 0; y < t->GetHeight(); ++y)
        for (unsigned x = 0; x < t->GetWidth(); ++x)
            pixels.push_back(TexturePixel(t, static_cast<int>(x), static_cast<int>(y)));
    return pixels;
}

// Index of the first differing pixel, or -1.
long FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    if (a.size() != b.size())
        return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return static_cast<long>(i);
    return -1;
}

// A 32 × 32 texture in four quadrants of different colour and alpha, so that filtering,
// rotation and blending all show in the pixels.
std::shared_ptr<TTexture> QuadrantTexture(const TColor& a, const TColor& b, const TColor& c, const TColor& d)
{
    auto t = TTexture::Create(32, 32, true);
    TRenderer* r = TRenderer::GetInstance();
    r->FillRect(TURect(0, 0, 16, 16), a, t);
    r->FillRect(TURect(16, 0, 32, 16), b, t);
    r->FillRect(TURect(0, 16, 16, 32), c, t);
    r->FillRect(TURect(16, 16, 32, 32), d, t);
    return t;
}

TTransformedLitVert Vert(float x, float y, TColor32 color, float u = 0, float v = 0)
{
    TTransformedLitVert vert = {};
    vert.position = TVec3(x, y, 0.1f);
    vert.rhw = 0.5f;
    vert.diffuse = color;
    vert.uv = TVec2(u, v);
    return vert;
}

void DrawQuad(float l, float t, float r, float b, TColor32 color)
{
    TTransformedLitVert v[4] = {Vert(l, t, color), Vert(r, t, color), Vert(r, b, color), Vert(l, b, color)};
    TVertexSet set(v, 4);
    TRenderer::GetInstance()->DrawVertices(TRenderer::kTriangleFan, set);
}

// Text spans as the vector drawer sends them: pre-scaled lines a quarter pixel in, in the
// frame's space, with a coverage ramp of colours.
void DrawSpans(float x, float y, int rows)
{
    std::vector<TPreScaledTransformedLitVert> v;
    for (int row = 0; row < rows; ++row) {
        TPreScaledTransformedLitVert a = {};
        a.position = TVec3(x + 0.25f + static_cast<float>(row % 3), y + 0.25f + static_cast<float>(row), 0.1f);
        a.rhw = 1.0f;
        a.diffuse = TColor32(255, 240, 200, static_cast<unsigned char>(40 + 30 * row % 215));
        TPreScaledTransformedLitVert b = a;
        b.position.x += 5.0f + static_cast<float>(row % 4);
        v.push_back(a);
        v.push_back(b);
    }
    TVertexSet set(v.data(), static_cast<unsigned>(v.size()));
    TRenderer::GetInstance()->DrawVertices(TRenderer::kLineList, set);
}

class Batching : public GLTest
{
protected:
    TRenderer* R() { return TRenderer::GetInstance(); }
    TGLDisplayHandler* H() { return TGLDisplayHandler::GetInstance(); }

    void SetUp() override
    {
        GLTest::SetUp();
        mA = QuadrantTexture(TColor(1, 0, 0, 1), TColor(0, 1, 0, 0.5f), TColor(0, 0, 1, 0.25f), TColor(1, 1, 0, 0.8f));
        mB =
            QuadrantTexture(TColor(0, 1, 1, 0.6f), TColor(1, 0, 1, 1), TColor(1, 1, 1, 0.3f), TColor(0.5f, 0.2f, 0, 1));
        ASSERT_TRUE(mA && mB);
    }
    void TearDown() override
    {
        mA.reset();
        mB.reset();
        GLTest::TearDown();
    }

    // Rotated, faded sprites at fractional places, taking turns between textures and blend
    // modes in runs of different lengths, with untextured and non-quad sets in between.
    void DrawMixedScene()
    {
        R()->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), TColor(0.1f, 0.2f, 0.3f, 1));
        const TRenderer::EBlendMode modes[] = {TRenderer::kBlendNormal,      TRenderer::kBlendAdditiveAlpha,
                                               TRenderer::kBlendNormal,      TRenderer::kBlendMultiplicative,
                                               TRenderer::kBlendSubtractive, TRenderer::kBlendOpaque};
        for (int i = 0; i < 90; ++i) {
            const auto& t = (i / 7) % 3 == 1 ? mB : mA;
            R()->SetBlendMode(modes[(i / 11) % 6]);
            const float x = 8.3f + static_cast<float>((i * 37) % 240);
            const float y = 5.7f + static_cast<float>((i * 53) % 118);
            t->DrawSprite(x, y, 0.4f + 0.006f * static_cast<float>(i), 1.0f + 0.01f * static_cast<float>(i % 5),
                          0.37f * static_cast<float>(i), static_cast<unsigned>(i % 4));
            if (i % 17 == 3) {
                R()->SetTexture(nullptr);
                DrawQuad(x - 6, y - 3, x + 4.5f, y + 9, TColor32(200, 40, 90, 170));
            }
            if (i % 23 == 5) {
                // A strip, an indexed list and a line, with the texture still set.
                R()->SetTexture(mB);
                TTransformedLitVert strip[5] = {Vert(x, y, 0xC0FFFFFFu, 0, 0), Vert(x + 9, y + 1, 0xC0FF8080u, 1, 0),
                                                Vert(x + 1, y + 12, 0x80FFFFFFu, 0, 1),
                                                Vert(x + 11, y + 13, 0xFF80FF80u, 1, 1),
                                                Vert(x + 3, y + 20, 0xFFFFFFFFu, 0.5f, 0.5f)};
                TVertexSet stripSet(strip, 5);
                R()->DrawVertices(TRenderer::kTriangleStrip, stripSet);
                unsigned short indices[6] = {0, 1, 2, 2, 1, 3};
                R()->DrawIndexedVertices(TRenderer::kTriangleList, stripSet, indices, 6);
                TTransformedLitVert line[2] = {Vert(x - 10, y + 0.5f, 0xFF00FF00u),
                                               Vert(x + 20, y + 0.5f, 0xFF00FF00u)};
                TVertexSet lineSet(line, 2);
                R()->DrawVertices(TRenderer::kLineList, lineSet);
            }
            if (i % 13 == 2)
                DrawSpans(x, y, 6 + i % 5);
            if (i == 40) {
                R()->PushViewport(TRect(30, 20, 200, 100));
                R()->PushClippingRectangle(TURect(40, 30, 150, 90));
            }
            if (i == 60) {
                R()->PopClippingRectangle();
                R()->PopViewport();
                R()->FillRect(TURect(100, 60, 140, 70), TColor(0.7f, 0.7f, 0.2f, 1));
            }
        }
        // Pre-scaled vertices take the whole frame as their space.
        R()->SetTexture(mA);
        R()->SetBlendMode(TRenderer::kBlendNormal);
        TPreScaledTransformedLitVert p[4] = {};
        const float px[4] = {150.5f, 190, 185, 148};
        const float py[4] = {80, 82.5f, 120, 118};
        for (int k = 0; k < 4; ++k) {
            p[k].position = TVec3(px[k], py[k], 0.1f);
            p[k].diffuse = TColor32(255, 255, 255, 200);
            p[k].uv = TVec2(k == 1 || k == 2 ? 1.0f : 0.0f, k >= 2 ? 1.0f : 0.0f);
        }
        TVertexSet pre(p, 4);
        R()->DrawVertices(TRenderer::kTriangleFan, pre);
        mA->DrawSprite(20.5f, 100.25f, 1.0f, 1.0f, 0.0f, 0);
    }

    std::vector<uint32_t> FrameOfMixedScene(bool batching, uint64_t* drawCalls)
    {
        H()->SetBatching(batching);
        const uint64_t before = H()->GetDrawCallCount();
        EXPECT_TRUE(R()->BeginDraw(false));
        EXPECT_TRUE(R()->Begin2d());
        DrawMixedScene();
        R()->End2d();
        R()->EndDraw(false);
        *drawCalls = H()->GetDrawCallCount() - before;
        return ReadFrame();
    }

    std::shared_ptr<TTexture> mA, mB;
};

TEST_F(Batching, MixedSceneGivesTheSamePixelsAsDrawingEachSetAtOnce)
{
    uint64_t separate = 0, batched = 0;
    const std::vector<uint32_t> want = FrameOfMixedScene(false, &separate);
    const std::vector<uint32_t> got = FrameOfMixedScene(true, &batched);
    const long diff = FirstDifference(want, got);
    EXPECT_EQ(diff, -1) << "at x " << diff % kTestDisplayWidth << ", y "
                        << (kTestDisplayHeight - 1 - diff / kTestDisplayWidth) << std::hex << ": "
                        << want[static_cast<size_t>(std::max(diff, 0L))] << " drawn at once, "
                        << got[static_cast<size_t>(std::max(diff, 0L))] << " batched";
    // The scene has sprites, and runs of them were combined.
    EXPECT_NE(want, std::vector<uint32_t>(want.size(), want[0]));
    EXPECT_GT(separate, 100u);
    EXPECT_LT(batched, separate / 2);
}

TEST_F(Batching, SpritesSharingTextureAndBlendModeAreOneDraw)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    uint64_t start = H()->GetDrawCallCount();
    for (int i = 0; i < 50; ++i)
        mA->DrawSprite(10.0f + static_cast<float>(i * 4), 40, 0.5f, 1.0f, 0.1f * static_cast<float>(i), 0);
    R()->End2d();
    EXPECT_EQ(H()->GetDrawCallCount() - start, 1u);

    ASSERT_TRUE(R()->Begin2d());
    start = H()->GetDrawCallCount();
    for (int i = 0; i < 50; ++i)
        (i % 2 ? mA : mB)->DrawSprite(10.0f + static_cast<float>(i * 4), 80, 0.5f, 1.0f, 0, 0);
    R()->End2d();
    EXPECT_EQ(H()->GetDrawCallCount() - start, 50u);

    ASSERT_TRUE(R()->Begin2d());
    start = H()->GetDrawCallCount();
    for (int i = 0; i < 30; ++i) {
        R()->SetBlendMode(i < 10   ? TRenderer::kBlendNormal
                          : i < 20 ? TRenderer::kBlendAdditiveAlpha
                                   : TRenderer::kBlendNormal);
        mA->DrawSprite(10.0f + static_cast<float>(i * 4), 110, 0.5f, 1.0f, 0, 0);
    }
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(H()->GetDrawCallCount() - start, 3u);
}

TEST_F(Batching, TextSpansOfOneBlendModeAreOneDraw)
{
    struct Case
    {
        const char* name;
        bool blendChange;  // half-way
        uint64_t draws;
    };
    const Case cases[] = {{"one blend mode", false, 1}, {"the blend mode changed half-way", true, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(R()->BeginDraw(false));
        ASSERT_TRUE(R()->Begin2d());
        R()->SetBlendMode(TRenderer::kBlendNormal);
        const uint64_t start = H()->GetDrawCallCount();
        for (int i = 0; i < 40; ++i) {
            if (c.blendChange && i == 20)
                R()->SetBlendMode(TRenderer::kBlendAdditiveAlpha);
            // Texture changes between sets do not reach untextured lines.
            R()->SetTexture(i % 2 ? mA : nullptr);
            DrawSpans(static_cast<float>(i * 7 % 300), static_cast<float>(i * 3), 8);
        }
        R()->End2d();
        R()->EndDraw(false);
        EXPECT_EQ(H()->GetDrawCallCount() - start, c.draws);
    }
}

TEST_F(Batching, HeldSpritesStayUnderALaterFillAndOverAnEarlierOne)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    R()->SetTexture(nullptr);
    DrawQuad(10, 10, 30, 30, TColor32(255, 0, 0, 255));
    R()->FillRect(TURect(20, 20, 40, 40), TColor(0, 1, 0, 1));
    DrawQuad(35, 35, 50, 50, TColor32(0, 0, 255, 255));
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(15, 15), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(25, 25), 0xFF00FF00u);
    EXPECT_EQ(ReadPixel(37, 37), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(45, 30), 0u);
}

TEST_F(Batching, ATextureChangedAfterADrawDoesNotReachThatDraw)
{
    auto t = TTexture::Create(16, 16, false);
    ASSERT_TRUE(t);
    R()->FillRect(TURect(0, 0, 16, 16), TColor(1, 0, 0, 1), t);
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    t->DrawSprite(20, 20, 1.0f, 1.0f, 0.0f, 0);
    R()->FillRect(TURect(0, 0, 16, 16), TColor(0, 0, 1, 1), t);
    t->DrawSprite(60, 20, 1.0f, 1.0f, 0.0f, 0);
    // Changed through a lock as well.
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    ASSERT_TRUE(t->Lock(&pixels, &pitch));
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x)
            pixels[y * pitch + x] = TColor32(0, 255, 0, 255);
    t->Unlock();
    t->DrawSprite(100, 20, 1.0f, 1.0f, 0.0f, 0);
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(20, 20), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(60, 20), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(100, 20), 0xFF00FF00u);
}

TEST_F(Batching, ATextureDestroyedWhileHeldWasStillDrawn)
{
    auto t = TTexture::Create(16, 16, false);
    ASSERT_TRUE(t);
    R()->FillRect(TURect(0, 0, 16, 16), TColor(1, 1, 0, 1), t);
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    t->DrawSprite(30, 30, 1.0f, 1.0f, 0.0f, 0);
    R()->SetTexture(nullptr);
    t.reset();
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(30, 30), 0xFFFFFF00u);
}

TEST_F(Batching, FlushMakesHeldDrawingReadable)
{
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    R()->SetTexture(nullptr);
    DrawQuad(5, 5, 15, 15, TColor32(0, 255, 255, 255));
    R()->Flush();
    EXPECT_EQ(ReadPixel(10, 10), 0xFF00FFFFu);
    R()->End2d();
    R()->EndDraw(false);
}

class CapturePlatform : public TRenderPlatform
{
public:
    bool GetScreenWindowSize(int* w, int* h) override
    {
        *w = kTestDisplayWidth;
        *h = kTestDisplayHeight;
        return true;
    }
};

TEST_F(Batching, CaptureAtFrameEndHoldsTheSpritesOfTheFrame)
{
    CapturePlatform platform;
    SetRenderPlatform(&platform);
    auto capture = TTexture::Create(kTestDisplayWidth, kTestDisplayHeight, false);
    ASSERT_TRUE(capture);
    R()->SetCaptureTexture(capture);
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    R()->SetTexture(nullptr);
    DrawQuad(10, 20, 30, 40, TColor32(255, 0, 255, 255));
    R()->End2d();
    R()->EndDraw(true);
    EXPECT_EQ(TexturePixel(capture, 15, 25), 0xFFFF00FFu);
    EXPECT_EQ(TexturePixel(capture, 35, 25), 0u);
}

TEST_F(Batching, RenderTargetPassesMatchWithAndWithoutBatching)
{
    std::vector<uint32_t> results[2];
    for (int batched = 0; batched < 2; ++batched) {
        H()->SetBatching(batched != 0);
        for (TRenderer::ERenderTargetMode mode :
             {TRenderer::kRenderTargetKeepAlpha, TRenderer::kRenderTargetAlphaMask}) {
            auto t = TTexture::Create(64, 64, true);
            ASSERT_TRUE(t);
            R()->FillRect(TURect(0, 0, 64, 64), TColor(0.2f, 0.4f, 0.6f, 1), t);
            ASSERT_TRUE(R()->BeginRenderTarget(t, mode));
            ASSERT_TRUE(R()->Begin2d());
            R()->FillRect(TURect(0, 0, 64, 64), TColor(0, 0, 0, 0.5f));
            for (int i = 0; i < 12; ++i) {
                R()->SetBlendMode(i < 8 ? TRenderer::kBlendNormal : TRenderer::kBlendAdditiveAlpha);
                (i % 5 == 4 ? mB : mA)
                    ->DrawSprite(6.5f + static_cast<float>(i * 5), 10.0f + static_cast<float>(i * 4), 0.7f, 0.8f,
                                 0.5f * static_cast<float>(i), 0);
            }
            R()->SetTexture(nullptr);
            DrawQuad(40, 40, 60, 50, TColor32(255, 255, 255, 128));
            R()->End2d();
            R()->EndRenderTarget();
            const std::vector<uint32_t> pixels = ReadTexture(t);
            results[batched].insert(results[batched].end(), pixels.begin(), pixels.end());
        }
    }
    EXPECT_EQ(FirstDifference(results[0], results[1]), -1);
}

TEST_F(Batching, FillsGiveTheSameColoursAsDrawnRectangles)
{
    std::vector<uint32_t> frames[2];
    for (int batched = 0; batched < 2; ++batched) {
        H()->SetBatching(batched != 0);
        ASSERT_TRUE(R()->BeginDraw(false));
        R()->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), TColor(0, 0, 0, 0));
        // Every channel value a float can land between, across the frame in 2 × 2 cells.
        for (int i = 0; i < 1024; ++i) {
            const unsigned x = static_cast<unsigned>(i % 128) * 2;
            const unsigned y = static_cast<unsigned>(i / 128) * 2;
            const float f = static_cast<float>(i) / 1023.0f;
            R()->FillRect(TURect(x, y, x + 2, y + 2), TColor(f, 1.0f - f, std::fmod(f * 7.3f, 1.0f), f * 0.5f + 0.25f));
        }
        // Clipped, reversed and off-frame rectangles, and one inside a viewport.
        R()->PushClippingRectangle(TURect(20, 40, 90, 70));
        R()->FillRect(TURect(0, 30, 300, 60), TColor(0.33f, 0.66f, 0.99f, 1));
        R()->PopClippingRectangle();
        R()->FillRect(TURect(200, 100, 180, 90), TColor(1, 0.5f, 0.25f, 1));
        R()->PushViewport(TRect(-20, 100, 60, 140));
        R()->FillRect(TURect(0, 0, 50, 50), TColor(0.1f, 0.9f, 0.4f, 1));
        R()->PopViewport();
        R()->FillRect(TURect(250, 120, 400, 400), TColor(1.5f, -0.5f, 0.5f, 2));
        R()->EndDraw(false);
        frames[batched] = ReadFrame();
    }
    EXPECT_EQ(FirstDifference(frames[0], frames[1]), -1);
    EXPECT_EQ(ReadPixel(50, 50), 0xFF54A8FCu);
    EXPECT_EQ(ReadPixel(10, 50), 0u);
    EXPECT_EQ(ReadPixel(190, 95), 0xFFFF8040u);
}

// A fill is a clear only where it writes what a drawn rectangle writes: in a 3D pass the
// rectangle also writes depth; after the pass fills are clears again, which leave depth alone.
TEST_F(Batching, FillsInA3dPassWriteDepth)
{
    auto depthAt = [](int x, int y) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        GLfloat depth = -1;
        glReadPixels(x, kTestDisplayHeight - 1 - y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    };
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(H()->Begin3d());
    R()->FillRect(TURect(10, 10, 60, 60), TColor(1, 0, 0, 1));
    H()->End3d();
    R()->FillRect(TURect(100, 10, 160, 60), TColor(0, 1, 0, 1));
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(30, 30), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(130, 30), 0xFF00FF00u);
    EXPECT_NEAR(depthAt(30, 30), 0.5f, 0.01f);
    EXPECT_EQ(depthAt(130, 30), 1.0f);
}

TEST_F(Batching, IndicesPastTheVerticesAreSkipped)
{
    TTransformedLitVert v[4] = {Vert(10, 10, 0xFFFF0000u), Vert(20, 10, 0xFFFF0000u), Vert(20, 20, 0xFFFF0000u),
                                Vert(10, 20, 0xFFFF0000u)};
    unsigned short indices[9] = {0, 1, 2, 0, 2, 400, 0, 2, 3};
    ASSERT_TRUE(R()->BeginDraw(false));
    ASSERT_TRUE(R()->Begin2d());
    R()->SetBlendMode(TRenderer::kBlendOpaque);
    R()->SetTexture(nullptr);
    TVertexSet set(v, 4);
    R()->DrawIndexedVertices(TRenderer::kTriangleList, set, indices, 9);
    R()->End2d();
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(18, 12), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(12, 18), 0xFFFF0000u);
}

}  // namespace
