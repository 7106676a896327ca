// Small things a new player meets in the demo's scenes: the name under the mouse goes with the
// note she takes.

#include "demo_scene_fixture.h"

namespace {

using DemoScenePolish = DemoSceneTest;

TEST_F(DemoScenePolish, TheNotesNameGoesWithTheNoteWithoutAMouseMove)
{
    ASSERT_TRUE(Enter("cottage"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    scene->OnMouseMove(TPoint(423, 295));
    Frame();
    ASSERT_NE(scene->mFloatText, nullptr);
    ClickWorld(423, 295);
    ASSERT_GE(PlayUntil([&] { return Actor("NOTE") == nullptr; }), 0);
    Play(2);
    EXPECT_TRUE(MiraHasControl());
    EXPECT_EQ(scene->mFloatText, nullptr);
    EXPECT_EQ(scene->GetPointedActor(), nullptr);
}

}  // namespace
