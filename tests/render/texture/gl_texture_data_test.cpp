#include "render/gl/gl_display_handler.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include "../support/render_test_support.h"

#include <gtest/gtest.h>

namespace {

class GLTextureData : public GLTest
{
protected:
    TRenderer* R() { return TRenderer::GetInstance(); }
    // Surface data as textures get it: made by the renderer's display handler.
    static std::unique_ptr<TGLTextureData> NewData()
    {
        return std::unique_ptr<TGLTextureData>(
            static_cast<TGLTextureData*>(TRenderer::GetInstance()->GetDisplayHandler()->NewTextureData().release()));
    }
};

TEST_F(GLTextureData, PowerOfTwoSurfacesAndMargins)
{
    auto square = NewData();
    ASSERT_TRUE(square->CreateSurface(300, 100, false));
    EXPECT_EQ(square->mSurfaceWidth, 512u);
    EXPECT_EQ(square->mSurfaceHeight, 512u);
    EXPECT_EQ(square->mXMargin, 106);
    EXPECT_EQ(square->mYMargin, 206);

    R()->SetOption("texture_rectangle", "1");
    auto rect = NewData();
    ASSERT_TRUE(rect->CreateSurface(300, 100, false));
    EXPECT_EQ(rect->mSurfaceWidth, 512u);
    EXPECT_EQ(rect->mSurfaceHeight, 128u);
    EXPECT_EQ(rect->mXMargin, 106);
    EXPECT_EQ(rect->mYMargin, 14);

    auto exact = NewData();
    ASSERT_TRUE(exact->CreateSurface(64, 1, false));
    EXPECT_EQ(exact->mSurfaceWidth, 64u);
    EXPECT_EQ(exact->mSurfaceHeight, 1u);
}

TEST_F(GLTextureData, SimpleSurfaceWiderThanTheDisplayLivesInMemory)
{
    auto data = NewData();
    data->SetFlag(TTextureData::kSimple, true);
    ASSERT_TRUE(data->CreateSurface(kTestDisplayWidth + 44, 10, true));
    EXPECT_TRUE(data->HasFlag(TTextureData::kSlow));
    EXPECT_TRUE(data->IsMemorySurface());
    EXPECT_EQ(data->mSurfaceWidth, unsigned(kTestDisplayWidth + 44));
    EXPECT_EQ(data->mSurfaceHeight, 10u);
    TColor32* p = nullptr;
    unsigned pitch = 0;
    ASSERT_TRUE(data->Lock(&p, &pitch));
    EXPECT_EQ(pitch, unsigned(kTestDisplayWidth + 44));
    EXPECT_EQ(p[pitch * 9 + 299], TColor32(0u));
}

TEST_F(GLTextureData, FillsWithAndWithoutAlpha)
{
    auto opaque = TTexture::Create(16, 16, false);
    auto alpha = TTexture::Create(16, 16, true);
    ASSERT_TRUE(opaque && alpha);
    R()->FillRect(TURect(2, 3, 6, 5), TColor(1, 0, 0, 0.2f), opaque);
    R()->FillRect(TURect(2, 3, 6, 5), TColor(1, 0, 0, 0.2f), alpha);
    EXPECT_EQ(TexturePixel(opaque, 2, 3), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(opaque, 5, 4), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(opaque, 6, 4), 0u);
    EXPECT_EQ(TexturePixel(opaque, 5, 5), 0u);
    EXPECT_TRUE(NearColor(TexturePixel(alpha, 3, 4), 0x33FF0000u, 1));
    // Rectangles reaching outside the surface fill only the inside.
    R()->FillRect(TURect(10, 10, 4000, 4000), TColor(0, 1, 0, 1), opaque);
    EXPECT_EQ(TexturePixel(opaque, 15, 15), 0xFF00FF00u);
}

TEST_F(GLTextureData, MemoryFillsPackTheColour)
{
    auto data = NewData();
    data->SetFlag(TTextureData::kSlow, true);
    ASSERT_TRUE(data->CreateSurface(8, 4, true));
    data->FillRect(1, 1, 3, 2, TColor(1, 0.5f, 0, 0.3f), false);
    TColor32* p = nullptr;
    unsigned pitch = 0;
    ASSERT_TRUE(data->Lock(&p, &pitch));
    EXPECT_EQ(p[pitch + 1], TColor32(0xFFFF7F00u));
    EXPECT_EQ(p[pitch + 3], TColor32(0u));
    data->FillRect(5, 3, 5, 4, TColor(1, 1, 1, 1), false);
    EXPECT_EQ(p[pitch * 3 + 5], TColor32(0u));
}

TEST_F(GLTextureData, ClearCoversSurfacesLargerThanTheDisplay)
{
    auto big = TTexture::Create(1024, 1024, true);
    ASSERT_TRUE(big);
    R()->FillRect(TURect(0, 0, 1024, 1024), TColor(1, 1, 1, 1), big);
    EXPECT_EQ(TexturePixel(big, 1000, 1000), 0xFFFFFFFFu);
    big->GetTextureData()->Clear();
    EXPECT_EQ(TexturePixel(big, 1000, 1000), 0u);
    EXPECT_EQ(TexturePixel(big, 0, 0), 0u);
    EXPECT_EQ(TexturePixel(big, 700, 20), 0u);
}

TEST_F(GLTextureData, LockUnlockRoundTrip)
{
    auto t = TTexture::Create(20, 10, true);
    ASSERT_TRUE(t);
    TColor32* p = nullptr;
    unsigned pitch = 0;
    EXPECT_FALSE(t->Lock(nullptr, &pitch));
    EXPECT_FALSE(t->Lock(&p, nullptr));
    ASSERT_TRUE(t->Lock(&p, &pitch));
    EXPECT_EQ(pitch, 32u);
    for (unsigned y = 0; y < 10; ++y)
        for (unsigned x = 0; x < 20; ++x)
            p[y * pitch + x] = TColor32(uint8_t(x * 10), uint8_t(y * 20), 7, uint8_t(x + y));
    t->Unlock();
    ASSERT_TRUE(t->Lock(&p, &pitch));
    EXPECT_EQ(p[3 * pitch + 5], TColor32(50, 60, 7, 8));
    EXPECT_EQ(p[9 * pitch + 19], TColor32(190, 180, 7, 28));

    // Without the alpha flag, unlocking makes the image area opaque.
    auto o = TTexture::Create(4, 4, false);
    ASSERT_TRUE(o->Lock(&p, &pitch));
    p[5] = TColor32(1, 2, 3, 4);
    o->Unlock();
    EXPECT_EQ(TexturePixel(o, 1, 1), 0xFF010203u);
}

TEST_F(GLTextureData, ProcessColorRunsOnce)
{
    auto t = TTexture::Create(4, 4, false);
    auto* data = dynamic_cast<TGLTextureData*>(t->GetTextureData());
    ASSERT_NE(data, nullptr);
    R()->FillRect(TURect(0, 0, 2, 4), TColor(1, 0, 1, 1), t);
    R()->FillRect(TURect(2, 0, 4, 4), TColor(0, 0.2f, 0, 1), t);
    data->ProcessColor();
    EXPECT_TRUE(t->HasAlpha());
    EXPECT_EQ(TexturePixel(t, 0, 0), 0u);
    EXPECT_EQ(TexturePixel(t, 3, 3) >> 24, 0xFFu);
    R()->FillRect(TURect(2, 0, 4, 4), TColor(1, 0, 1, 1), t);
    data->ProcessColor();
    EXPECT_EQ(TexturePixel(t, 3, 3), 0xFFFF00FFu);
}

TEST_F(GLTextureData, CopiesBetweenSurfaces)
{
    auto src = TTexture::Create(16, 16, true);
    auto dst = TTexture::Create(16, 16, true);
    ASSERT_TRUE(src && dst);
    R()->FillRect(TURect(0, 0, 16, 16), TColor(0, 0, 1, 1), src);
    R()->FillRect(TURect(4, 4, 8, 6), TColor(1, 0, 0, 1), src);
    const TRect part(4, 4, 8, 8);
    src->CopyPixels(10, 1, &part, dst);
    EXPECT_EQ(TexturePixel(dst, 10, 1), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(dst, 13, 2), 0xFFFF0000u);
    EXPECT_EQ(TexturePixel(dst, 13, 3), 0xFF0000FFu);
    EXPECT_EQ(TexturePixel(dst, 9, 1), 0u);
    // Reaching past the destination is cut, not refused.
    src->CopyPixels(14, 14, &part, dst);
    EXPECT_EQ(TexturePixel(dst, 15, 15), 0xFFFF0000u);

    // Memory to device.
    auto memory = NewData();
    memory->SetFlag(TTextureData::kSlow | TTextureData::kAlpha, true);
    ASSERT_TRUE(memory->CreateSurface(8, 8, true));
    memory->FillRect(0, 0, 8, 8, TColor(0, 1, 0, 1), false);
    const TRect all(0, 0, 2, 2);
    memory->CopyPixels(0, 0, &all, dst);
    EXPECT_EQ(TexturePixel(dst, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(TexturePixel(dst, 2, 2), 0u);

    // Nothing is copied into a memory surface.
    auto slow = std::make_shared<TTexture>();
    slow->GetTextureData()->SetFlag(TTextureData::kSlow, true);
    ASSERT_TRUE(slow->GetTextureData()->CreateSurface(16, 16, true));
    src->CopyPixels(0, 0, nullptr, slow);
    TColor32* p = nullptr;
    unsigned pitch = 0;
    ASSERT_TRUE(slow->Lock(&p, &pitch));
    EXPECT_EQ(p[5 * pitch + 5], TColor32(0u));
}

TEST_F(GLTextureData, CopyToTheFrameBuffer)
{
    auto src = TTexture::Create(kTestDisplayWidth, kTestDisplayHeight, false);
    ASSERT_TRUE(src);
    R()->FillRect(TURect(0, 0, 8, 4), TColor(1, 1, 0, 1), src);
    src->CopyPixels(0, 0, nullptr, nullptr);
    EXPECT_EQ(ReadPixel(0, 0), 0xFFFFFF00u);
    EXPECT_EQ(ReadPixel(7, 3), 0xFFFFFF00u);
    EXPECT_EQ(ReadPixel(8, 3), 0u);

    // Inside a frame it does nothing.
    ASSERT_TRUE(R()->BeginDraw(false));
    R()->FillRect(TURect(0, 0, 20, 20), TColor(0, 0, 0, 1));
    src->CopyPixels(0, 0, nullptr, nullptr);
    R()->EndDraw(false);
    EXPECT_EQ(ReadPixel(1, 1), 0xFF000000u);

    // A memory surface lands upright at (x, y).
    auto memory = NewData();
    memory->SetFlag(TTextureData::kSlow, true);
    ASSERT_TRUE(memory->CreateSurface(4, 4, true));
    memory->FillRect(0, 0, 4, 1, TColor(0, 1, 1, 1), false);
    memory->CopyPixels(30, 40, nullptr, nullptr);
    EXPECT_EQ(ReadPixel(30, 40), 0xFF00FFFFu);
    EXPECT_EQ(ReadPixel(33, 40), 0xFF00FFFFu);
    EXPECT_EQ(ReadPixel(30, 41), 0u);
}

TEST_F(GLTextureData, SurfaceOutlivesItsDisplayHandler)
{
    auto data = NewData();
    ASSERT_TRUE(data->CreateSurface(8, 8, true));
    TRenderer::ShutDown();
    // Without a handler surfaces are square, as before one exists.
    ASSERT_TRUE(data->CreateSurface(40, 8, true));
    EXPECT_EQ(data->mSurfaceHeight, 64u);
    data.reset();
}

}  // namespace
