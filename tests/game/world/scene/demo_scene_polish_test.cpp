// Small things a new player meets in the demo's scenes: the gardener's word on the gate's key
// follows whether Mira has it, and the name under the mouse goes with the note she takes.

#include "demo_scene_fixture.h"

#include "game/world/scene/choice_handler.h"

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using DemoScenePolish = DemoSceneTest;

TEST_F(DemoScenePolish, TheGardenerSaysWhereTheKeyIsOnlyUntilMiraHasIt)
{
    const struct
    {
        const char* setup;
        const char* said;
        const char* unsaid;
    } cases[] = {
        {"", "wager there's a key in your cottage", "brass"},
        {"BAG_INV:AddInventory(items.key, false)", "brass key from\nyour cottage is the one for it", "wager"},
        {"game:Set('gate_open', 1)", "brass key from\nyour cottage is the one for it", "wager"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setup);
        ForgetProgress();
        gGamestate.SetScene("cottage", true);
        ASSERT_TRUE(Enter("garden"));
        Run(c.setup);
        ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
        tGirl* gardener = Actor("GARDENER");
        ClickWorld(gardener->GetPosition().x, gardener->GetPosition().y - 60);
        tChoiceHandler& handler = scene->GetChoiceHandler();
        ASSERT_GE(PlayUntil([&] { return handler.IsChoiceOpen(); }), 0);
        NewLog();
        ChoiceClicked(3);  // "Where does the old gate go?"
        ASSERT_GE(PlayUntil([&] { return handler.IsChoiceOpen(); }), 0);
        const std::string answer = NewLog();
        EXPECT_THAT(answer, HasSubstr(c.said));
        EXPECT_THAT(answer, Not(HasSubstr(c.unsaid)));
    }
}

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

// By the screen's edge her words on the locked gate would lie under the gate's name.
TEST_F(DemoScenePolish, MirasWordsOnTheLockedGateStayClearOfItsName)
{
    gGamestate.SetScene("cottage", true);
    ASSERT_TRUE(Enter("garden"));
    Run("BAG_INV:AddInventory(items.key, false)");
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    ASSERT_TRUE(WalkMiraEast(1420, 400));
    // The pointer on the gate's west post, its name as far west as it goes.
    const tVector2<float> camera = scene->GetCameraPosition();
    const TPoint west(int(1490 - camera.x), int(450 - camera.y));
    scene->OnMouseDown(west);
    scene->OnMouseMove(west);
    ASSERT_GE(PlayUntil([&] { return Mira()->HasText(); }), 0);
    EXPECT_THAT(NewLog(), HasSubstr("That little brass key might fit."));
    ASSERT_NE(scene->mFloatText, nullptr);
    TRect words;
    Mira()->PlaceSpeech(&words);
    EXPECT_LE(words.right, scene->mFloatTextBox.left) << words.right << " " << scene->mFloatTextBox.left;
    EXPECT_GE(words.left, 0);
    EXPECT_TRUE(MiraHasControl());
}

}  // namespace
