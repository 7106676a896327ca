// The demo's scenes as the player sees them: the camera after Mira and inside the garden, Mira
// behind the front plane's tree, smaller far off, lit by the cottage's lamp, the name of what
// is under the mouse, and whole pictures against stored ones.

#include "demo_scene_fixture.h"

#include "game/script/window_state.h"
#include "render/anim/animated_sprite.h"
#include "support/image_writers.h"

#include <png.h>

#include <cstdlib>

namespace {

using V = tVector2<float>;
class DemoSceneDraw : public DemoSceneTest
{
protected:
    // Mira stands at (x, y) by her script's own jump, and a frame goes by.
    void PutMira(float x, float y)
    {
        Run(("scene.NELKA:JumpToPoint{ x = " + std::to_string(int(x)) + ", y = " + std::to_string(int(y)) + " }")
                .c_str());
        Frame();
    }
};

// The picture's pixels as 0xAARRGGBB, rows top-down.
TTestImage Pixels(const std::shared_ptr<TTexture>& picture)
{
    TTestImage image(int(picture->GetWidth()), int(picture->GetHeight()));
    TColor32* p = nullptr;
    unsigned pitch = 0;
    if (!picture->Lock(&p, &pitch))
        return image;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.At(x, y) = p[size_t(y) * pitch + size_t(x)].Value();
    picture->Unlock();
    return image;
}

// Pixels of the rectangle [left, right) x [top, bottom) that differ between two pictures.
int Differing(TTestImage& a, TTestImage& b, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += !NearColor(a.At(x, y), b.At(x, y), 2);
    return n;
}

// The picture against tests/game/world/scene/data/<name>.png (TV_UPDATE_SCENE_REFERENCE=1
// writes it instead): at most one pixel in 200 off by more than 2 in a channel.
void ExpectLikeReference(const std::shared_ptr<TTexture>& picture, const std::string& name)
{
    const std::string path = std::string(TV_TEST_SOURCE_DIR) + "/tests/game/world/scene/data/" + name + ".png";
    TTestImage drawn = Pixels(picture);
    if (std::getenv("TV_UPDATE_SCENE_REFERENCE")) {
        ASSERT_TRUE(WritePng(path, drawn, PNG_COLOR_TYPE_RGB));
        return;
    }
    TTestImage reference(1, 1);
    ASSERT_TRUE(ReadPng(path, &reference)) << path;
    ASSERT_EQ(reference.width, drawn.width);
    ASSERT_EQ(reference.height, drawn.height);
    EXPECT_LE(Differing(drawn, reference, 0, 0, drawn.width, drawn.height), drawn.width * drawn.height / 200)
        << "compare with " << path;
}

TEST_F(DemoSceneDraw, TheCameraFollowsMiraAndStopsAtTheGardensEnds)
{
    ASSERT_TRUE(Enter("garden"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    const struct
    {
        float x;
        float camera;
    } steps[] = {
        {400, 0},     // in the middle of the screen
        {700, 300},   // kept in the middle
        {1000, 600},  //
        {1590, 800},  // the garden's east end
        {900, 500},   // back west, still in the middle
        {100, 0},     // the west end
    };
    for (const auto& step : steps) {
        PutMira(step.x, 480);
        EXPECT_EQ(scene->GetCameraPosition(), V(step.camera, 0)) << step.x;
    }
}

TEST_F(DemoSceneDraw, MiraWalksBehindTheTreeAndShrinksWithDistance)
{
    ASSERT_TRUE(Enter("garden"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    auto pictureWithMiraAt = [&](float x) {
        PutMira(x, 500);
        EXPECT_EQ(scene->GetCameraPosition().x, 800);
        return Pixels(TakePicture());
    };
    pictureWithMiraAt(1590);
    // The trunk stands at 1200 to 1260 (400 to 460 on the screen); she stands half behind it.
    TTestImage behind = pictureWithMiraAt(1200);
    TTestImage away = pictureWithMiraAt(1400);
    EXPECT_EQ(Differing(behind, away, 400, 380, 460, 500), 0);
    EXPECT_GT(Differing(behind, away, 370, 380, 400, 500), 100);

    // The room scale: full size at the front of the lawn, three quarters at its back.
    const struct
    {
        float y, scale;
    } depths[] = {{580, 1}, {480, 0.875f}, {380, 0.75f}, {300, 0.75f}};
    for (const auto& d : depths) {
        PutMira(1000, d.y);
        EXPECT_FLOAT_EQ(Mira()->GetBGScale(), d.scale) << d.y;
        EXPECT_FLOAT_EQ(Mira()->GetAnimatedSprite()->mSpec.matrix[0].x, d.scale) << d.y;
    }
}

TEST_F(DemoSceneDraw, TheLampLightsMiraAsSheWalksPast)
{
    ASSERT_TRUE(Enter("cottage"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    auto lightAt = [&](float x) {
        PutMira(x, 480);
        const TColor drawn = Mira()->GetAnimatedSprite()->mSpec.color;
        const TColor32 lit = scene->GetLightmapPixel(Mira()->GetPosition());
        EXPECT_FLOAT_EQ(drawn.red, lit.Red() / 255.0f) << x;
        EXPECT_FLOAT_EQ(drawn.blue, lit.Blue() / 255.0f) << x;
        return drawn;
    };
    const TColor byTheLamp = lightAt(90);
    const TColor byTheDoor = lightAt(700);
    EXPECT_GT(byTheLamp.red, byTheDoor.red + 0.2f);
    EXPECT_GT(byTheLamp.red, byTheLamp.blue);  // warm
}

TEST_F(DemoSceneDraw, TheNameUnderTheMouseFloatsAboveItOnScreen)
{
    ASSERT_TRUE(Enter("garden"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    const V gardener = Actor("GARDENER")->GetPosition();
    const TPoint mouse(int(gardener.x), int(gardener.y) - 60);
    scene->OnMouseMove(mouse);
    ASSERT_EQ(scene->GetPointedActor(), Actor("GARDENER"));
    const TRect box = scene->mFloatTextBox;
    EXPECT_EQ(box.bottom, mouse.y - 10);
    EXPECT_LE(std::abs((box.left + box.right) / 2 - mouse.x), 1);

    // Drawn only while the mouse is over the game's window.
    TTestImage outside = Pixels(TakePicture());
    SetMouseWindow(gameWindow);
    TTestImage over = Pixels(TakePicture());
    SetMouseWindow(nullptr);
    EXPECT_GT(Differing(outside, over, box.left, box.top, box.right, box.bottom), 50);
    EXPECT_EQ(Differing(outside, over, 0, 0, 800, box.top - 2), 0);  // the outline is 2 wide
    EXPECT_EQ(Differing(outside, over, 0, box.bottom + 2, 800, 600), 0);

    scene->OnMouseMove(TPoint(700, 100));
    EXPECT_EQ(scene->GetPointedActor(), nullptr);
    EXPECT_EQ(scene->mFloatText, nullptr);
}

// Whole pictures: the cottage as Mira speaks her opening line, and the garden as she steps out
// of the cottage door, with the gardener's name under the mouse.
TEST_F(DemoSceneDraw, TheScenesLookAsTheyDid)
{
    ASSERT_TRUE(Enter("cottage"));
    ASSERT_GE(PlayUntil([&] { return Mira()->HasText() && scene->IsFadeDone(); }), 0);
    ExpectLikeReference(TakePicture(), "demo_cottage");

    gGamestate.SetScene("cottage", true);
    ASSERT_TRUE(Enter("garden"));
    // Faded in whole, however many steps she took out of the door.
    ASSERT_GE(PlayUntil([&] { return MiraHasControl() && scene->IsFadeDone(); }), 0);
    const V gardener = Actor("GARDENER")->GetPosition();
    scene->OnMouseMove(TPoint(int(gardener.x), int(gardener.y) - 60));
    SetMouseWindow(gameWindow);
    ExpectLikeReference(TakePicture(), "demo_garden");
    SetMouseWindow(nullptr);
}

}  // namespace
