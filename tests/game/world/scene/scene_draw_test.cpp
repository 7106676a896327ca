// A scene's picture: the camera after its actor and inside the scene's bounds, the layers
// drawn in order with the fade over them, the fade's pace, the room scale, and the name that
// floats over the actor under the mouse.

#include "common/log_capture.h"
#include "game/world/clock/pause.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_float_text.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "scene_probe.h"
#include "support/render_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using V = tVector2<float>;

// Colour only: what the frame keeps of alpha depends on the blend's alpha factors.
bool NearRgb(uint32_t pixel, uint32_t expected)
{
    return NearColor(pixel | 0xFF000000u, expected | 0xFF000000u, 3);
}

class SceneDraw : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        scene.SetBounds(TRect(0, 0, 1600, 1200));
    }
    void Frame()
    {
        TRenderer* r = TRenderer::GetInstance();
        ASSERT_TRUE(r->BeginDraw(false));
        ASSERT_TRUE(r->Begin2d());
        scene.Draw();
        scene.DrawOverHud();
        r->End2d();
        r->EndDraw(false);
    }
    static std::shared_ptr<TTexture> Solid(unsigned size, const TColor& colour)
    {
        std::shared_ptr<TTexture> texture = TTexture::Create(size, size, true);
        TRenderer::GetInstance()->FillRect(TURect(0, 0, size, size), colour, texture);
        return texture;
    }

    ProbeScene scene;
};

TEST_F(SceneDraw, TheCameraFollowsItsActorPastTheMarginAndStopsAtTheBounds)
{
    const struct
    {
        V start, actor, camera;
    } cases[] = {
        {{0, 0}, {400, 300}, {0, 0}},        // inside the margins: no move
        {{0, 0}, {700, 500}, {40, 40}},      // past the right and bottom margins
        {{0, 0}, {1590, 1190}, {800, 600}},  // the far corner: held at the bounds
        {{500, 500}, {600, 620}, {460, 480}},
        {{500, 500}, {100, 100}, {0, 0}},  // back past the near margins, held at the origin
    };
    ProbeActor* heroine = scene.Add("NELKA");
    scene.SetCameraFollowActor(heroine);
    scene.MakeHolders();
    for (const auto& c : cases) {
        scene.SetCameraPosition(c.start);
        heroine->SetPosition(c.actor);
        Frame();
        EXPECT_EQ(scene.GetCameraPosition(), c.camera) << c.actor.x << "," << c.actor.y;
        const TVec3 offset = scene.GetWorldHolder()->mSpec.matrix[2];
        EXPECT_EQ(offset.x, -c.camera.x);
        EXPECT_EQ(offset.y, -c.camera.y);
    }
}

TEST_F(SceneDraw, TheCameraStaysInsideTheBoundsAndAtTheOriginInASmallScene)
{
    const struct
    {
        TRect bounds;
        V asked, camera;
    } cases[] = {
        {{0, 0, 500, 400}, {300, 200}, {0, 0}},       {{0, 0, 500, 400}, {-30, -30}, {0, 0}},
        {{0, 0, 1600, 400}, {300, 200}, {300, 0}},    {{0, 0, 1600, 1200}, {-50, 20}, {0, 20}},
        {{0, 0, 1600, 1200}, {900, 700}, {800, 600}}, {{100, 50, 1700, 1250}, {0, 0}, {100, 50}},
    };
    for (const auto& c : cases) {
        scene.SetBounds(c.bounds);
        scene.SetCameraPosition(c.asked);
        EXPECT_EQ(scene.GetCameraPosition(), c.camera) << c.asked.x << "," << c.asked.y;
    }
}

TEST_F(SceneDraw, WorldThenScreenLayerThenFadeThenTheActorsOwnDrawing)
{
    scene.SetScreenSize(V(kTestDisplayWidth, kTestDisplayHeight));
    scene.MakeHolders();
    scene.SetCameraPosition(V(280, 0));
    auto red = TSprite::Create(1, Solid(64, TColor(1, 0, 0, 1)));
    red->mSpec.matrix[2] = TVec3(300, 10, 1);  // on the screen at (20, 10)
    scene.GetWorldHolder()->AddChild(red);
    auto green = TSprite::Create(1, Solid(16, TColor(0, 1, 0, 1)));
    green->mSpec.matrix[2] = TVec3(40, 20, 1);
    scene.GetScreenHolder()->AddChild(green);
    const TColor halfBlue(0, 0, 1, 0.5f);
    scene.SetFadeColor(halfBlue);
    scene.SetFadeTarget(halfBlue);

    uint32_t seenByActor = 0;
    scene.Add("NELKA")->onDraw = [&](ProbeActor&) {
        TRenderer::GetInstance()->Flush();
        seenByActor = ReadPixel(30, 30);
    };
    Frame();
    const uint32_t redUnderFade = 0xFF7F007F, greenUnderFade = 0xFF007F7F;
    EXPECT_TRUE(NearRgb(seenByActor, redUnderFade)) << std::hex << seenByActor;
    EXPECT_TRUE(NearRgb(ReadPixel(30, 30), redUnderFade)) << std::hex << ReadPixel(30, 30);
    EXPECT_TRUE(NearRgb(ReadPixel(45, 25), greenUnderFade)) << std::hex << ReadPixel(45, 25);
    EXPECT_TRUE(NearRgb(ReadPixel(200, 100), 0x00007F)) << std::hex << ReadPixel(200, 100);

    // Over the interface: the scene's own pass leaves it out, the pass over the HUD draws it.
    scene.SetFadeOverHud(true);
    TRenderer* r = TRenderer::GetInstance();
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    scene.Draw();
    r->Flush();
    EXPECT_TRUE(NearRgb(seenByActor, 0xFF0000)) << std::hex << seenByActor;
    scene.DrawOverHud();
    r->End2d();
    r->EndDraw(false);
    EXPECT_TRUE(NearRgb(ReadPixel(30, 30), redUnderFade)) << std::hex << ReadPixel(30, 30);
}

// The scene at (100, 50), 100 by 50, drawn into the whole frame and into a window standing there.
TEST_F(SceneDraw, TheFadeCoversTheScenesPlaceOnTheScreen)
{
    scene.SetScreenPosition(V(100, 50));
    scene.SetScreenSize(V(100, 50));
    scene.SetFadeColor(TColor(1, 0, 0, 1));
    scene.SetFadeTarget(TColor(1, 0, 0, 1));
    for (const bool inWindow : {false, true}) {
        SCOPED_TRACE(inWindow ? "in a window" : "in the frame");
        TRenderer* r = TRenderer::GetInstance();
        ASSERT_TRUE(r->BeginDraw(false));
        r->FillRect(TURect(0, 0, kTestDisplayWidth, kTestDisplayHeight), TColor(0, 0, 0, 1), nullptr);
        ASSERT_TRUE(r->Begin2d());
        if (inWindow)
            r->PushViewport(TRect(100, 50, 200, 100));
        scene.Draw();
        if (inWindow)
            r->PopViewport();
        r->End2d();
        r->EndDraw(false);
        EXPECT_TRUE(NearRgb(ReadPixel(105, 55), 0xFF0000)) << std::hex << ReadPixel(105, 55);
        EXPECT_TRUE(NearRgb(ReadPixel(195, 95), 0xFF0000)) << std::hex << ReadPixel(195, 95);
        EXPECT_TRUE(NearRgb(ReadPixel(95, 75), 0)) << std::hex << ReadPixel(95, 75);
        EXPECT_TRUE(NearRgb(ReadPixel(150, 45), 0)) << std::hex << ReadPixel(150, 45);
        EXPECT_TRUE(NearRgb(ReadPixel(205, 75), 0)) << std::hex << ReadPixel(205, 75);
    }
}

TEST_F(SceneDraw, AFadeTakesFortyUnpausedFramesAndHoldsWhilePaused)
{
    scene.SetFadeColor(TColor(0, 0, 0, 1));
    scene.SetFadeTarget(TColor(0, 0, 0, 0));
    EnterPause();
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(scene.FadeAlpha(), 1.0f);
    ExitPause();
    for (int i = 0; i < 39; ++i)
        Frame();
    EXPECT_FALSE(scene.IsFadeDone());
    EXPECT_GT(scene.FadeAlpha(), 0.0f);
    Frame();
    EXPECT_TRUE(scene.IsFadeDone());
}

TEST(RoomScale, NotBelowTheNearScaleThenNotAboveTheFarScale)
{
    const struct
    {
        float nearY, farY, nearScale, farScale, y, scale;
    } cases[] = {
        // Far rows first: a room that shrinks away from the viewer.
        {400, 580, 0.8f, 1, 400, 0.8f}, {400, 580, 0.8f, 1, 490, 0.9f}, {400, 580, 0.8f, 1, 580, 1},
        {400, 580, 0.8f, 1, 100, 0.8f}, {400, 580, 0.8f, 1, 700, 1},
        // The near scale the larger: the near scale below its row, the far scale from there on.
        {400, 100, 1, 0.5f, 250, 1},    {400, 100, 1, 0.5f, 0, 1},      {400, 100, 1, 0.5f, 400, 0.5f},
        {400, 100, 1, 0.5f, 500, 0.5f}, {200, 200, 1, 3, 50, 2},  // no span: the middle, logged
    };
    for (const auto& c : cases) {
        ProbeScene scene;
        scene.SetRoomScale(c.nearY, c.farY, c.nearScale, c.farScale);
        EXPECT_FLOAT_EQ(scene.ComputeRoomScale(c.y), c.scale) << c.nearY << ".." << c.farY << " at " << c.y;
    }
    ProbeScene flat;
    flat.SetRoomScale(200, 200, 1, 3);
    TLogCapture log;
    flat.ComputeRoomScale(10);
    EXPECT_NE(log.Text().find("bad inv_flerp(200.000000, 200.000000)"), std::string::npos);
}

TEST(FloatTextBox, PushedBackInsideTheTextBounds)
{
    const TRect bounds(10, 10, 790, 590);
    const struct
    {
        const char* what;
        TRect box, expected;
    } cases[] = {
        {"a 200-wide name near the right edge", {700, 300, 900, 330}, {590, 300, 790, 330}},
        {"past the left edge", {-50, 100, 150, 130}, {10, 100, 210, 130}},
        {"wider than the bounds: centred", {0, 100, 1000, 130}, {-100, 100, 900, 130}},
        {"past the bottom", {100, 580, 300, 610}, {100, 560, 300, 590}},
        {"taller and past the bottom: the bottom first", {100, 0, 300, 700}, {100, -110, 300, 590}},
        {"taller, bottom inside: centred", {100, -200, 300, 500}, {100, -50, 300, 650}},
        {"above the top", {100, -5, 300, 25}, {100, 10, 300, 40}},
        {"inside", {100, 100, 300, 130}, {100, 100, 300, 130}},
    };
    for (const auto& c : cases) {
        TRect box = c.box;
        PushBoxBackOnScreen(box, bounds);
        EXPECT_EQ(box, c.expected) << c.what;
    }
}

TEST_F(SceneDraw, TheNameOfThePointedActorFloatsInsideTheTextBounds)
{
    const std::string sheet = "<Workbook><Worksheet><Table><Row><Cell><Data>owl_name</Data></Cell>"
                              "<Cell><Data>Old Owl</Data></Cell></Row></Table></Worksheet></Workbook>";
    ASSERT_TRUE(scene.Strings().Table().MergeStringData(sheet.data(), sheet.size()));
    scene.OpenLua();
    ProbeActor* owl = scene.Add("OWL");
    owl->SetPosition(V(700, 300));
    owl->AssignZone(TriangleZone("0,0 200,0 0,200"));
    lua_State* L = scene.GetLua().GetState();
    owl->GetLuaObj()->push();
    lua_pushstring(L, "point_at_name");
    lua_pushstring(L, "owl_name");
    lua_settable(L, -3);
    lua_pop(L, 1);

    {
        TLogCapture log;
        scene.OnMouseMove(TPoint(785, 310));
        EXPECT_NE(log.Text().find("CREATE TEXT["), std::string::npos);
        EXPECT_NE(log.Text().find("Old Owl]"), std::string::npos);
    }
    EXPECT_EQ(scene.GetPointedActor(), owl);
    ASSERT_TRUE(scene.HasFloatText());
    const TRect first = scene.FloatTextBox();
    EXPECT_EQ(first.right, 790);
    EXPECT_GT(first.right - first.left, 20);
    EXPECT_EQ(first.bottom, 300);

    {
        TLogCapture log;
        scene.OnMouseMove(TPoint(705, 350));  // the same actor: the box moves, no new text
        EXPECT_EQ(log.Text().find("CREATE TEXT["), std::string::npos);
    }
    EXPECT_EQ(scene.FloatTextBox().bottom, 340);
    EXPECT_LT(scene.FloatTextBox().right, 790);

    scene.OnMouseMove(TPoint(100, 100));
    EXPECT_EQ(scene.GetPointedActor(), nullptr);
    EXPECT_FALSE(scene.HasFloatText());
}

}  // namespace
