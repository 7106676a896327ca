// The sub-game window: it stands where its sub-scene says, hands it the mouse and advances it
// once a frame whoever drives the frame, and without a sub-scene it is inert and out of the
// way of the scene beneath.

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>

#include "core/platform/event.h"
#include "core/time/time_source.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/layout_fixture.h"
#include "game/interface/subgame/sub_game.h"
#include "game/script/window_autoreg.h"
#include "game/world/scene/scene.h"
#include "game/world/state/gamestate.h"

namespace {

class SubGameTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        GameLayoutTest::SetUp();
        SetTimeSource([this] { return clock; });
        AddAutoRegWindowTypes(wm.get());
        gGamestate.clear();
        TheScene() = new tScene;
    }
    void TearDown() override
    {
        // The game root takes the sub-scene with it; without one it is still ours.
        GameLayoutTest::TearDown();
        delete SubScene();
        SubScene() = nullptr;
        delete TheScene();
        TheScene() = nullptr;
        SetTimeSource(nullptr);
    }
    tScene* OpenSubScene(tVector2<float> position, tVector2<float> size)
    {
        SubScene() = new tScene;
        SubScene()->SetScreenPosition(position);
        SubScene()->SetScreenSize(size);
        return SubScene();
    }
    tSubGame* SubGame() { return GetCast<tSubGame>(Find("subgame")); }
    // One frame: the clock moves on by a window animation step and the top dialog runs.
    void Frame()
    {
        clock += 20;
        Send(TEvent::kIdle);
    }

    uint32_t clock = 5000;
};

TEST_F(SubGameTest, StandsOverItsSubSceneAndShrinksToNothingWithoutOne)
{
    const float kNaN = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        tVector2<float> position, size;
        TRect rect;
    };
    const Case cases[] = {
        {{120.7f, 80.2f}, {300.9f, 200.5f}, TRect(120, 80, 420, 280)},
        {{-10.5f, 5}, {50, 40}, TRect(-10, 5, 40, 45)},
        {{30, 40}, {-30, 60}, TRect(30, 40, 30, 100)},
        {{30, 40}, {-30, -1}, TRect(30, 40, 30, 40)},
        // What a script may set: NaN stands for 0, the huge is cut far off the screen.
        {{kNaN, 1e20f}, {1e30f, kNaN}, TRect(0, 1 << 20, 1 << 20, 1 << 20)},
        {{-1e20f, kNaN}, {kNaN, 3e9f}, TRect(-(1 << 20), 0, -(1 << 20), 1 << 20)},
    };
    Layout("tSubGame{ name = 'subgame', x = 5, y = 5, w = 100, h = 100 }");
    tSubGame* window = SubGame();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->GetWindowWidth(), 0) << "no sub-scene yet";
    EXPECT_EQ(window->GetWindowHeight(), 0);
    for (const Case& c : cases) {
        OpenSubScene(c.position, c.size);
        window->OnTaskAnimate();
        EXPECT_EQ(window->GetRect(), c.rect) << c.position.x << "," << c.size.x << "," << c.size.y;
        delete SubScene();
        SubScene() = nullptr;
        window->OnTaskAnimate();
        EXPECT_EQ(window->GetWindowWidth(), 0);
        EXPECT_EQ(window->GetWindowHeight(), 0);
    }
}

// Clicks over the puzzle reach the sub-scene in the window's own coordinates, and the main
// scene ignores them; once the puzzle has gone the same spot is the main scene's again.
TEST_F(SubGameTest, ClicksGoToTheSubSceneWhileItIsOpenAndToTheSceneBeneathAfter)
{
    Layout("TGame{ name = 'game', w = 640, h = 480, tSubGame{ name = 'subgame' } }");
    tSubGame* window = SubGame();
    ASSERT_NE(window, nullptr);
    tScene* sub = OpenSubScene({100, 120}, {200, 150});
    Frame();
    Send(TEvent::kMouseDown, 150, 130);
    EXPECT_EQ(sub->GetClickedAtScreen(), tVector2<float>(50, 10));
    EXPECT_EQ(TheScene()->GetClickedAtScreen(), tVector2<float>(0, 0));

    delete SubScene();
    SubScene() = nullptr;
    EXPECT_FALSE(window->OnMouseDown(TPoint(50, 10)));
    EXPECT_FALSE(window->OnMouseMove(TPoint(50, 10)));
    Frame();
    Send(TEvent::kMouseDown, 150, 130);
    EXPECT_EQ(TheScene()->GetClickedAtScreen(), tVector2<float>(150, 130));
}

// The music volume steps once per scene update, so it counts the updates.
TEST_F(SubGameTest, AdvancesTheSubSceneOnceAFrameWhoeverDrivesTheFrame)
{
    struct Case
    {
        const char* layout;
        const char* above;  // a dialog over the layout, holding the window, or null
        const char* drivenBy;
    };
    const Case cases[] = {
        {"tSubGame{ name = 'subgame' }", nullptr, "the window alone"},
        {"TGame{ name = 'game', w = 640, h = 480, tSubGame{ name = 'subgame' } }", nullptr, "the game root beside it"},
        {"TGame{ name = 'game', w = 640, h = 480 }", "tSubGame{ name = 'subgame' }", "the window over a paused game"},
    };
    for (const Case& c : cases) {
        Layout(c.layout);
        if (c.above)
            Lua(std::string("PushModal('puzzle'); MakeDialog{ ") + c.above + " }");
        tScene* sub = OpenSubScene({0, 0}, {100, 100});
        sub->SetMusicVolumeCurrent(0);
        sub->SetMusicVolumeTarget(1);
        sub->SetMusicVolumeSpeed(0.01f);
        for (int i = 0; i < 10; ++i)
            Frame();
        EXPECT_NEAR(sub->GetMusicVolume(), 0.1f, 0.005f) << c.drivenBy;
        delete SubScene();
        SubScene() = nullptr;
        while (wm->GetTopModalWindow() != screen)
            wm->_PopModal();
        Send(TEvent::kIdle);  // the popped dialogs are deleted here
    }
}

}  // namespace
