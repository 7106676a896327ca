#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "render/texture/texture_data.h"

#include "core/config/config.h"
#include "core/files/asset.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

namespace {

class Texture : public GLTest
{
protected:
    void TearDown() override
    {
        TConfig::SetConfig(TConfig::kAutoMergeMask, "");
        GLTest::TearDown();
    }

    void Png(const std::string& name, int w, int h, uint32_t fill, int colorType = 2)
    {
        ASSERT_TRUE(WritePng(assets.Path(name), TTestImage(w, h, fill), colorType));
    }

    TTempAssets assets;
};

TEST(TextureHandle, KeysFollowTheirRules)
{
    EXPECT_EQ(TTextureData::TextureHandle("art\\bg.png", false, true, false), str("art/bg.png:m:tex"));
    EXPECT_EQ(TTextureData::TextureHandle("art/bg.png", true, true, true), str("art/bg.png:a:m:s:tex"));
    EXPECT_EQ(TTextureData::TextureHandle("x.png", false, false, false), str("x.png:tex"));
    EXPECT_EQ(TTextureData::TextureHandle("a\\b.png", "m.png", true, false), str("a\\b.png:m.png:m:tex"));
    EXPECT_EQ(TTextureData::TextureHandle(str("a.png"), str("m"), false, true), str("a.png:m:s:tex"));
}

TEST_F(Texture, SpellingsShareThroughGetButNotGetMerged)
{
    Png("ui/button.png", 8, 8, 0xFF102030u);
    Png("ui/mask.png", 8, 8, 0xFF800000u);
    assets.Scan();
    auto a = TTexture::Get("ui/button.png", 0);
    auto b = TTexture::Get("ui\\button.png", 0);
    ASSERT_TRUE(a);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->GetWidth(), 8u);
    EXPECT_EQ(a->GetName(), str("ui/button.png."));
    auto m1 = TTexture::GetMerged("ui/button.png", "ui/mask.png", 0);
    auto m2 = TTexture::GetMerged("ui\\button.png", "ui/mask.png", 0);
    ASSERT_TRUE(m1);
    EXPECT_NE(m1, m2);
    EXPECT_EQ(m1->GetName(), str("ui/button.png.ui/mask.png"));
    EXPECT_TRUE(NearColor(TexturePixel(m1, 3, 3), 0x80102030u, 0));
}

TEST_F(Texture, NameWithoutExtensionFallsBackInOrder)
{
    ASSERT_TRUE(WriteJpeg(assets.Path("bg.jpg"), TTestImage(16, 16, 0xFFFFFFFFu)));
    assets.Scan();
    auto bg = TTexture::Get("bg", 0);
    ASSERT_TRUE(bg);
    EXPECT_EQ(bg->GetName(), str("bg.jpg."));
    EXPECT_FALSE(TTexture::Get("bg.png", 0));

    Png("bg.png", 4, 4, 0xFF00FF00u);
    assets.Scan();
    bg.reset();
    auto again = TTexture::Get("bg", 2);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetName(), str("bg.png."));
    EXPECT_FALSE(TTexture::Get("nothing", 0));
}

TEST_F(Texture, AlphaOptionsAndFlags)
{
    Png("pic.png", 4, 4, 0x80FF0000u, 6);
    Png("solid.png", 4, 4, 0xFF00FF00u, 2);
    assets.Scan();
    auto fromFile = TTexture::Get("pic.png", 0);
    ASSERT_TRUE(fromFile);
    EXPECT_TRUE(fromFile->HasAlpha());
    auto forcedOff = TTexture::Get("pic.png", TTexture::kGetOpaque | TTexture::kGetMipmap);
    ASSERT_TRUE(forcedOff);
    EXPECT_FALSE(forcedOff->HasAlpha());
    EXPECT_TRUE(TTexture::Get("solid.png", 0) && !TTexture::Get("solid.png", 0)->HasAlpha());
    auto forcedOn = TTexture::Get("solid.png?alpha", 0);
    ASSERT_TRUE(forcedOn);
    EXPECT_TRUE(forcedOn->HasAlpha());
    EXPECT_EQ(forcedOn->GetName(), str("solid.png?alpha."));
    auto mip = TTexture::Get("solid.png?mipmap,alpha", 0);
    ASSERT_TRUE(mip);
    EXPECT_TRUE(mip->GetTextureData()->HasFlag(TTextureData::kMipmap));
    EXPECT_EQ(TexturePixel(mip, 1, 1), 0xFF00FF00u);
}

TEST_F(Texture, SizeLimitNeedsSlow)
{
    Png("wide.png", 1500, 10, 0xFF0000FFu);
    assets.Scan();
    {
        TLogCapture log;
        EXPECT_FALSE(TTexture::Get("wide.png", 0));
        EXPECT_NE(log.Text().find("over the limit"), std::string::npos);
    }
    auto slow = TTexture::Get("wide.png?slow", 0);
    ASSERT_TRUE(slow);
    EXPECT_TRUE(slow->IsSimple());
    EXPECT_EQ(slow->GetWidth(), 1500u);
    EXPECT_EQ(slow->GetHeight(), 10u);
    EXPECT_EQ(TexturePixel(slow, 1499, 9), 0xFF0000FFu);
}

TEST_F(Texture, SurfaceHeightAndMarginsFromTheLoader)
{
    Png("tall.png", 300, 100, 0xFF445566u);
    assets.Scan();
    auto square = TTexture::Get("tall.png", 0);
    ASSERT_TRUE(square);
    EXPECT_EQ(square->GetTextureData()->mSurfaceHeight, 512u);
    EXPECT_EQ(square->GetInternalSize(), std::make_pair(512, 512));
    auto simple = TTexture::GetSimple("tall.png");
    ASSERT_TRUE(simple);
    EXPECT_EQ(simple->GetTextureData()->mSurfaceHeight, 128u);
    EXPECT_EQ(simple->GetTextureData()->mYMargin, 14);
    EXPECT_EQ(simple->GetInternalSize(), std::make_pair(512, 128));
}

TEST_F(Texture, AutoMergeMask)
{
    ASSERT_TRUE(WriteJpeg(assets.Path("a.jpg"), TTestImage(16, 16, 0xFF0000FFu)));
    Png("a.mask.png", 16, 16, 0xFF400000u);
    assets.Scan();
    auto plain = TTexture::Get("a.jpg", 0);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->GetName(), str("a.jpg."));
    EXPECT_EQ(TexturePixel(plain, 4, 4) >> 24, 0xFFu);
    plain.reset();

    TConfig::SetConfig(TConfig::kAutoMergeMask, "1");
    auto merged = TTexture::Get("a.jpg", 0);
    ASSERT_TRUE(merged);
    EXPECT_EQ(merged->GetName(), str("a.jpg.a.mask.png"));
    EXPECT_TRUE(merged->HasAlpha());
    EXPECT_EQ(TexturePixel(merged, 4, 4) >> 24, 0x40u);
}

TEST_F(Texture, MasksTheirFallbacksAndMismatches)
{
    Png("img.png", 16, 16, 0xFF00FF00u);
    Png("small_mask.png", 4, 4, 0xFF200000u);
    ASSERT_TRUE(WriteJpeg(assets.Path("jm.jpg"), TTestImage(16, 16, 0xFF808080u)));
    assets.Scan();
    auto mismatch = TTexture::GetMerged("img.png", "small_mask.png", 0);
    ASSERT_TRUE(mismatch);
    EXPECT_EQ(TexturePixel(mismatch, 3, 3), 0xFF00FF00u);
    auto fallback = TTexture::GetMerged("img.png", "jm", 1);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->GetName(), str("img.png.jm.jpg"));
    EXPECT_FALSE(TTexture::GetMerged("img.png", "missing.png", 0));
    EXPECT_FALSE(TTexture::GetMerged("img.png", "missing", 0));
}

TEST_F(Texture, DamagedFileFailsWithLogLineAndNoTexture)
{
    ASSERT_TRUE(WriteBytes(assets.Path("broken.png"), std::vector<unsigned char>(32, 0x42)));
    ASSERT_TRUE(WriteBytes(assets.Path("broken.jp2"), std::vector<unsigned char>(32, 0x42)));
    ASSERT_TRUE(WriteBytes(assets.Path("notes.txt"), std::vector<unsigned char>(4, 0x42)));
    assets.Scan();
    TLogCapture log;
    EXPECT_FALSE(TTexture::Get("broken.png", 0));
    EXPECT_FALSE(TTexture::Get("broken.jp2", 0));
    EXPECT_FALSE(TTexture::Get("notes.txt", 0));
    const std::string text = log.Text();
    EXPECT_NE(text.find("cannot decode broken.png"), std::string::npos);
    EXPECT_NE(text.find("cannot decode broken.jp2"), std::string::npos);
    EXPECT_NE(text.find("unknown image type: notes.txt"), std::string::npos);
}

// The extensions and masks tried on the way are no news: a lookup logs one line, and only when
// it finds nothing; a caller's own search stays quiet.
TEST_F(Texture, LookupsLogOnlyWhatTheyNeverFound)
{
    ASSERT_TRUE(WriteJpeg(assets.Path("bg.jpg"), TTestImage(16, 16, 0xFFFFFFFFu)));
    assets.Scan();
    TLogCapture log;
    EXPECT_TRUE(TTexture::GetMerged("bg", "bg.mask", 0) == nullptr);
    EXPECT_TRUE(TTexture::Get("bg", 0));
    EXPECT_FALSE(TTexture::Get("gone", 0));
    {
        TQuietTextureSearch searching;
        EXPECT_FALSE(TTexture::Get("elsewhere", 0));
    }
    const std::string text = log.Text();
    EXPECT_EQ(text, "Texture: not found: bg with mask bg.mask\nTexture: not found: gone\n");
}

TEST_F(Texture, CreatedTexturesAreRegisteredUntilDestroyed)
{
    auto t = TTexture::Create(10, 10, true);
    ASSERT_TRUE(t);
    EXPECT_TRUE(t->GetTextureData()->HasFlag(TTextureData::kCreated));
    EXPECT_EQ(t->GetName(), str("."));
    const str key = str::getFormatted("%lx:tex:r", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(t.get())));
    TAssetManager* manager = TAssetManager::GetInstance();
    EXPECT_EQ(manager->GetAsset(key), std::static_pointer_cast<TAsset>(t));
    t.reset();
    EXPECT_FALSE(manager->GetAsset(key));
}

TEST_F(Texture, CacheHoldsTexturesWeakly)
{
    Png("w.png", 2, 2, 0xFF000000u);
    assets.Scan();
    TTexture* first = TTexture::Get("w.png", 0).get();
    EXPECT_NE(first, nullptr);
    auto held = TTexture::Get("w.png", 0);
    auto again = TTexture::Get("w.png", 0);
    EXPECT_EQ(held, again);
    EXPECT_TRUE(held->IsKindOf(TAsset::ClassId()));
    EXPECT_STREQ(held->GetTypeName(), "TTexture");
}

class SpriteDraw : public Texture
{
protected:
    // A 4×4 texture: top-left quadrant red, the rest blue.
    std::shared_ptr<TTexture> Quad()
    {
        auto t = TTexture::Create(4, 4, false);
        TRenderer::GetInstance()->FillRect(TURect(0, 0, 4, 4), TColor(0, 0, 1, 1), t);
        TRenderer::GetInstance()->FillRect(TURect(0, 0, 2, 2), TColor(1, 0, 0, 1), t);
        t->GetTextureData()->SetFlag(TTextureData::kAlpha, false);
        return t;
    }
};

TEST_F(SpriteDraw, CentredAndMirroredBothWays)
{
    auto t = Quad();
    TRenderer* r = TRenderer::GetInstance();
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    t->DrawSprite(20, 20, 1.0f, 1.0f, 0.0f, 0);
    t->DrawSprite(40, 20, 1.0f, 1.0f, 0.0f, TDrawSpec::kFlipH | TDrawSpec::kFlipV);
    TDrawSpec topLeft(TVec2(60, 20), 1.0f, 1.0f, TDrawSpec::kUseCentre);
    t->DrawSprite(topLeft);
    r->End2d();
    r->EndDraw(false);
    EXPECT_EQ(ReadPixel(18, 18), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(21, 21), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(41, 21), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(38, 18), 0xFF0000FFu);
    EXPECT_EQ(ReadPixel(60, 20), 0xFFFF0000u);
    EXPECT_EQ(ReadPixel(63, 23), 0xFF0000FFu);
}

TEST_F(SpriteDraw, SimpleTexturesAndDrawsOutside2dDrawNothing)
{
    auto t = Quad();
    TRenderer* r = TRenderer::GetInstance();
    t->DrawSprite(20, 20, 1.0f, 1.0f, 0.0f, 0);
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    t->GetTextureData()->SetFlag(TTextureData::kSimple, true);
    t->DrawSprite(20, 20, 1.0f, 1.0f, 0.0f, 0);
    r->End2d();
    r->EndDraw(false);
    EXPECT_EQ(ReadPixel(18, 18), 0u);
    EXPECT_EQ(ReadPixel(21, 21), 0u);
}

}  // namespace
