#include "core/config/config.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

namespace {

class SpritePixelHitTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        // Left half transparent, right half opaque, bottom-right pixel at alpha 240.
        TTestImage image(8, 8, 0x00000000u);
        for (int y = 0; y < 8; ++y)
            for (int x = 4; x < 8; ++x)
                image.At(x, y) = 0xFF20C040u;
        image.At(7, 7) = 0xF020C040u;
        ASSERT_TRUE(WritePng(assets.Path("half.png"), image, 6));
        assets.Scan();
        texture = TTexture::Get("half.png", 0);
        ASSERT_TRUE(texture);
        ASSERT_TRUE(texture->HasAlpha());
        sprite = TSprite::Create(0, texture);
        sprite->mSpec.matrix[2] = TVec3(20, 20, 1);  // covers 16..23 on both axes
    }
    void TearDown() override
    {
        sprite.reset();
        texture.reset();
        GLTest::TearDown();
    }

    TTempAssets assets;
    std::shared_ptr<TTexture> texture;
    std::shared_ptr<TSprite> sprite;
};

TEST_F(SpritePixelHitTest, TransparentPixelsMissAndOpaquePixelsHit)
{
    EXPECT_FALSE(sprite->HitTest(TPoint(17, 20), TDrawSpec(), 128, 0));
    EXPECT_TRUE(sprite->HitTest(TPoint(22, 20), TDrawSpec(), 128, 0));
    // The rectangle alone says yes for the transparent half.
    EXPECT_TRUE(sprite->HitTest(TPoint(17, 20), TDrawSpec(), -1, 0));
    // Outside the rectangle nothing is drawn.
    EXPECT_FALSE(sprite->HitTest(TPoint(30, 20), TDrawSpec(), 0, 0));
}

TEST_F(SpritePixelHitTest, FlippedSpriteHitsTheMirroredHalf)
{
    sprite->mSpec.flags = TDrawSpec::kFlipH;
    EXPECT_TRUE(sprite->HitTest(TPoint(17, 20), TDrawSpec(), 128, 0));
    EXPECT_FALSE(sprite->HitTest(TPoint(22, 20), TDrawSpec(), 128, 0));
}

TEST_F(SpritePixelHitTest, ChildPixelsCountForTheParent)
{
    auto parent = TSprite::Create(0, nullptr);
    parent->mSpec.matrix[2] = TVec3(100, 0, 1);
    parent->AddChild(sprite);
    TConfig::SetConfig(TConfig::kSpriteAlwaysTestChildren, "1");
    EXPECT_TRUE(parent->HitTest(TPoint(122, 20), TDrawSpec(), 128, -1));
    EXPECT_FALSE(parent->HitTest(TPoint(117, 20), TDrawSpec(), 128, -1));
    TConfig::SetConfig(TConfig::kSpriteAlwaysTestChildren, "");
}

TEST_F(SpritePixelHitTest, ThresholdComparesWithTheDrawnAlpha)
{
    EXPECT_TRUE(sprite->HitTest(TPoint(22, 20), TDrawSpec(), 255, 0));
    EXPECT_FALSE(sprite->HitTest(TPoint(23, 23), TDrawSpec(), 255, 0));
    EXPECT_FALSE(sprite->HitTest(TPoint(23, 23), TDrawSpec(), 241, 0));
    EXPECT_TRUE(sprite->HitTest(TPoint(23, 23), TDrawSpec(), 240, 0));
    // Sprite alpha scales what is drawn.
    sprite->mSpec.alpha = 0.5f;
    EXPECT_FALSE(sprite->HitTest(TPoint(22, 20), TDrawSpec(), 200, 0));
    EXPECT_TRUE(sprite->HitTest(TPoint(22, 20), TDrawSpec(), 32, 0));
}

}  // namespace
