// The demo garden's three planes, wider than one texture, drawn in depth order: the frame must
// match the three source pictures laid over each other.

#include "game/world/planes/bg_plane.h"

#include "render/image/png_image.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"

#include "draw_frame.h"
#include "game/world/demo_assets_gl_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TPicture
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0, alpha = 0;
    ~TPicture() { EzPngFreeImage(pixels); }
    // Blue, green, red, alpha, 0 to 1.
    float At(int x, int y, int c) const { return pixels[(size_t(y) * side + x) * 4 + c] / 255.0f; }
};

using DemoGarden = DemoAssetsGLTest;

TEST_F(DemoGarden, PlanesTileAndDrawInDepthOrder)
{
    // Added front first: the holder must still draw far, near, front.
    const struct
    {
        const char* name;
        int depth;
    } planes[] = {{"quest/garden/garden_front.png", 600},
                  {"quest/garden/garden_near.png", 2},
                  {"quest/garden/garden_far.png", 1}};
    auto world = TSprite::Create(0, nullptr);
    tBGPlane loaded[3];
    TPicture pictures[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(loaded[i].LoadFile(planes[i].name, planes[i].depth)) << planes[i].name;
        EXPECT_EQ(loaded[i].GetRect(), TRect(0, 0, 1600, 600));
        EXPECT_EQ(loaded[i].GetParts().size(), 2u);
        loaded[i].AddPartsToSpriteHolder(world);
        ASSERT_TRUE(EzPngLoadImage(planes[i].name, &pictures[i].pixels, &pictures[i].width, &pictures[i].height,
                                   &pictures[i].side, nullptr, &pictures[i].alpha));
    }

    // The tile seam at x = 1024, the tree of the front plane and the gate of the near one.
    const TPoint camera(1000, 300);
    DrawFrame(world, camera.x, camera.y);

    int bad = 0;
    for (int y = 0; y < kTestDisplayHeight; y += 2)
        for (int x = 0; x < kTestDisplayWidth; x += 2) {
            float rgb[3] = {0, 0, 0};
            for (int p : {2, 1, 0}) {
                const float a = pictures[p].At(camera.x + x, camera.y + y, 3);
                for (int c = 0; c < 3; ++c)
                    rgb[c] = pictures[p].At(camera.x + x, camera.y + y, c) * a + rgb[c] * (1 - a);
            }
            const uint32_t want = 0xFF000000u | uint32_t(rgb[2] * 255 + 0.5f) << 16 |
                                  uint32_t(rgb[1] * 255 + 0.5f) << 8 | uint32_t(rgb[0] * 255 + 0.5f);
            bad += !NearColor(ReadPixel(x, y) | 0xFF000000u, want, 4);
        }
    EXPECT_EQ(bad, 0);
}

}  // namespace
