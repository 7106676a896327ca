#include "game/world/planes/bg_plane.h"

#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

#include "draw_frame.h"
#include "support/image_writers.h"
#include "support/render_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A picture whose every pixel tells where it came from, so a misplaced tile shows.
uint32_t SourcePixel(int x, int y)
{
    return 0xFF000000u | (uint32_t((x * 7) & 0xFF) << 16) | (uint32_t((y * 5) & 0xFF) << 8) |
           uint32_t((x / 1024) * 80 + (y / 1024) * 40);
}

class BGPlaneTest : public GLTest
{
protected:
    std::string Write(int width, int height)
    {
        const std::string name = "plane_" + std::to_string(width) + "x" + std::to_string(height) + ".png";
        TTestImage image(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.At(x, y) = SourcePixel(x, y);
        EXPECT_TRUE(WritePng(assets.Path(name), image, 2));
        assets.Scan();
        return name;
    }

    TTempAssets assets;
};

struct TTileCase
{
    int width, height;
    bool tiled;
    std::vector<TRect> tiles;  // where each part shows, in order
};

TEST_F(BGPlaneTest, ImagesOverTheLimitAreCutIntoTilesPlacedWhereTheyCameFrom)
{
    const TTileCase cases[] = {
        {1023, 600, false, {TRect(0, 0, 1023, 600)}},
        {1024, 600, true, {TRect(0, 0, 1024, 600)}},
        {2500, 700, true, {TRect(0, 0, 1024, 700), TRect(1024, 0, 2048, 700), TRect(2048, 0, 2500, 700)}},
        {300, 1100, true, {TRect(0, 0, 300, 1024), TRect(0, 1024, 300, 1100)}},
    };
    for (const TTileCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        tBGPlane plane;
        ASSERT_TRUE(plane.LoadFile(Write(c.width, c.height).c_str(), -5));
        EXPECT_EQ(plane.GetRect(), TRect(0, 0, c.width, c.height));
        EXPECT_EQ(plane.IsTiled(), c.tiled);
        ASSERT_EQ(plane.GetParts().size(), c.tiles.size());
        for (size_t i = 0; i < c.tiles.size(); ++i) {
            const auto& part = plane.GetParts()[i];
            EXPECT_EQ(part->GetLayer(), -5);
            EXPECT_EQ(part->GetRect(TDrawSpec(), 0), c.tiles[i]) << "part " << i;
        }
    }
}

TEST_F(BGPlaneTest, TilesDrawTheSourcePictureAcrossTheSeams)
{
    tBGPlane plane;
    ASSERT_TRUE(plane.LoadFile(Write(2500, 1100).c_str(), 0));
    ASSERT_EQ(plane.GetParts().size(), 6u);
    auto holder = TSprite::Create(0, nullptr);
    plane.AddPartsToSpriteHolder(holder);
    // Views that straddle the vertical seams and the horizontal one.
    const TPoint views[] = {TPoint(1000, 0), TPoint(2000, 1000), TPoint(2300, 972)};
    for (const TPoint& v : views) {
        DrawFrame(holder, v.x, v.y);
        int bad = 0;
        for (int y = 0; y < kTestDisplayHeight; y += 3)
            for (int x = 0; x < kTestDisplayWidth; x += 3) {
                const int sx = v.x + x, sy = v.y + y;
                if (sx < 2500 && sy < 1100)
                    bad += !NearColor(ReadPixel(x, y), SourcePixel(sx, sy), 2);
            }
        EXPECT_EQ(bad, 0) << "view at " << v.x << "," << v.y;
    }
}

TEST_F(BGPlaneTest, ReloadingKeepsOneSetOfPartsInTheHolder)
{
    tBGPlane plane;
    plane.SetBlendMode(TRenderer::kBlendAdditiveAlpha);
    ASSERT_TRUE(plane.LoadFile(Write(2500, 700).c_str(), 0));
    auto holder = TSprite::Create(0, nullptr);
    plane.AddPartsToSpriteHolder(holder);
    ASSERT_TRUE(plane.ReloadFile());
    plane.AddPartsToSpriteHolder(holder);
    ASSERT_TRUE(plane.ReloadFile());
    plane.AddPartsToSpriteHolder(holder);
    EXPECT_EQ(holder->GetChildren().size(), 3u);
    for (const auto& part : plane.GetParts())
        EXPECT_EQ(part->mSpec.blendMode, TRenderer::kBlendAdditiveAlpha);
    plane.RemovePartsFromSpriteHolder();
    EXPECT_TRUE(holder->GetChildren().empty());
}

TEST_F(BGPlaneTest, MissingImageIsLoggedAndRefused)
{
    TLogCapture log;
    tBGPlane plane;
    EXPECT_FALSE(plane.LoadFile("nothere.png", 0));
    EXPECT_NE(log.Text().find("Failed to load nothere.png"), std::string::npos);
    EXPECT_TRUE(plane.GetParts().empty());
}

}  // namespace
