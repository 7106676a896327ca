// Menu sprites and atlas images drawn into a real frame: what they name, where the layout or
// the atlas places it, in screen coordinates whatever window holds them.

#include <gtest/gtest.h>

#include <string>

#include "common/log_capture.h"
#include "game/interface/built_assets_fixture.h"
#include "game/interface/sprites/atlas_image.h"
#include "game/interface/sprites/menu_sprite.h"
#include "render/anim/animated_sprite.h"

namespace {

constexpr uint32_t kMagenta = 0xFFFF00FFu;  // the looking cursor's background
constexpr uint32_t kPupil = 0xFF101010u;
constexpr uint32_t kNothing = 0;  // stands for what lies below

class SpriteWindowsTest : public DrawnGameTest
{
protected:
    // Pixel (x, y), or kNothing where it shows the frame's background (read far from any window).
    static uint32_t Shown(int x, int y) { return Pixel(x, y) == Pixel(795, 595) ? kNothing : Pixel(x, y); }
};

TEST_F(SpriteWindowsTest, MenuSpriteDrawsItsAnimationWhereTheLayoutPlacedIt)
{
    struct Case
    {
        const char* settings;
        TRect rect;
        bool playing;
        uint32_t atCorner;
    };
    // Inside a window at (50, 40): the picture's corner is at (350, 240) on the screen.
    const Case cases[] = {
        {"file = 'cursors/look.hw', anim = 'DoAnim'", TRect(0, 0, 800, 600), true, kMagenta},
        {"file = 'cursors/look.hw'", TRect(0, 0, 800, 600), false, kMagenta},
        {"", TRect(300, 200, 340, 230), false, kNothing},
    };
    for (const Case& c : cases) {
        Layout(std::string("Window{ x = 50, y = 40, w = 700, h = 500,"
                           "  tMenuSprite{ name = 'm', x = 300, y = 200, w = 40, h = 30, ") +
               c.settings + " } }");
        auto* sprite = GetCast<tMenuSprite>(Find("m"));
        ASSERT_NE(sprite, nullptr) << c.settings;
        EXPECT_EQ(sprite->GetRect(), c.rect) << c.settings;
        EXPECT_EQ(sprite->GetSprite()->IsPlaying(0), c.playing) << c.settings;
        Frame();
        EXPECT_EQ(Shown(351, 241), c.atCorner) << c.settings;
        EXPECT_EQ(Shown(348, 238), kNothing) << c.settings;
        wm->_PopModal();
        Frame();
    }
}

TEST_F(SpriteWindowsTest, AtlasImageDrawsItsFrameInScreenCoordinates)
{
    TLogCapture log;
    Layout("Window{ x = 4, y = 4, w = 200, h = 100, tAtlasImage{ name = 'a', x = 4, y = 4, w = 100, h = 50,"
           "  frame = 'lamp' } }");
    EXPECT_NE(log.Text().find("no scene to give the frame lamp"), std::string::npos);
    auto* image = GetCast<tAtlasImage>(Find("a"));
    ASSERT_NE(image, nullptr);
    Frame();
    EXPECT_EQ(Shown(12, 12), kNothing);

    // What the scene's atlas gives it: a frame whose registration puts it at the screen's top
    // left, seen through the window.
    const std::shared_ptr<TAnimatedSprite>& sprite = image->GetSprite();
    ASSERT_TRUE(sprite->Init("cursors/look.hw", str(), str()));
    sprite->SetTexture(sprite->GetAnimatedTexture());
    Frame();
    EXPECT_EQ(Shown(12, 12), kPupil);
    EXPECT_EQ(Shown(9, 22), kMagenta);
    EXPECT_EQ(Shown(30, 30), kNothing);
}

}  // namespace
