// The windows of play: the dialog panel that slides in and out and closes its dialog, the
// frame that catches clicks where its mask is painted, and the game root's interface upkeep,
// keys and pause.

#include <gtest/gtest.h>

#include "common/log_capture.h"

#include <string>
#include <vector>

#include "core/config/config.h"
#include "core/platform/event.h"
#include "core/platform/platform.h"
#include "core/script/message.h"
#include "core/time/time_source.h"
#include "game/interface/cursor/cursor_manager.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/ingame/intercept_window.h"
#include "game/interface/ingame/menu_party.h"
#include "game/interface/ingame/transition_window.h"
#include "game/interface/layout_fixture.h"
#include "game/interface/windows/df_button.h"
#include "game/script/window_autoreg.h"
#include "game/world/common/debug_flags.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/state/gamestate.h"
#include "render/renderer/renderer.h"
#include "ui/widgets/text.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"

namespace {

class InGameTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        GameLayoutTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        gGamestate.clear();
    }
};

TEST_F(InGameTest, PanelSlidesInAcceleratingAndLandsExactly)
{
    Layout("dfModalWindow{ name = 'dlg', tTransitionWindow{ w = 400, h = 100 } }");
    auto* panel = GetCast<tTransitionWindow>(Find("transition"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetRect().left, -400);
    std::vector<int> steps;
    int x = -400;
    while (panel->GetMode() == tTransitionWindow::kSlidingIn && steps.size() < 50) {
        panel->OnTaskAnimate();
        steps.push_back(panel->GetRect().left - x);
        x = panel->GetRect().left;
    }
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[0], 53);
    EXPECT_EQ(steps[1], 56);
    EXPECT_EQ(steps[2], 59);
    EXPECT_EQ(panel->GetRect().left, 0);
    EXPECT_EQ(panel->GetMode(), tTransitionWindow::kResting);
}

TEST_F(InGameTest, DialogClosesOnlyAfterItsPanelHasSlidOut)
{
    struct Case
    {
        const char* message;
        int ticksToClose;  // 300 wide: 53 + 56 + 59 + 62 + 65 + 68 reach -300 on the sixth tick
    };
    for (const Case& c : {Case{"quickclose", 1}, Case{"startclose", 6}}) {
        auto* dialog = new dfModalWindow;
        dialog->SetWindowSize(300, 100);
        wm->PushModal(dialog);
        Lua("MakeDialog{ tTransitionWindow{ w = 300, h = 100 } }");
        auto* panel = GetCast<tTransitionWindow>(dialog->GetChildWindow("transition", unsigned(-1)));
        ASSERT_NE(panel, nullptr);
        for (int i = 0; i < 50 && panel->GetMode() != tTransitionWindow::kResting; ++i)
            panel->OnTaskAnimate();
        dialog->SendWindowMessage(new TMessage(kGeneric, c.message, nullptr));
        int ticks = 0;
        while (wm->GetTopModalWindow() == dialog && ticks < 50) {
            panel->OnTaskAnimate();
            ++ticks;
            wm->DispatchMessages();
        }
        EXPECT_NE(wm->GetTopModalWindow(), dialog) << c.message;
        EXPECT_EQ(ticks, c.ticksToClose) << c.message;
    }
}

TEST_F(InGameTest, InterceptCatchesClicksOnlyOnPaintedRedPixels)
{
    TLogCapture log;
    Layout("tIntercept{ name = 'tray', mask = 'images/no_such_mask', w = 50, h = 50 }");
    auto* tray = GetCast<tIntercept>(Find("tray"));
    ASSERT_NE(tray, nullptr);
    EXPECT_NE(log.Text().find("Failed to load intercept mask images/no_such_mask"), std::string::npos);
    EXPECT_FALSE(tray->TestMousePoint(TPoint(1, 1))) << "without a mask nothing is caught";
    EXPECT_FALSE(tray->OnMouseDown(TPoint(1, 1)));

    // Pixels 0xAARRGGBB: only a red channel counts, whatever else is set.
    const TColor32 pixels[] = {0xFFFF0000u, 0xFF00FFFFu, 0x00010000u, 0xFF000000u,
                               0xFFFFFFFFu, 0xFF00FF00u, 0x12345678u, 0u};
    tHitMask mask;
    mask.Set(pixels, 4, 3, 2);  // pitch 4, width 3: the fourth column is never read
    struct Case
    {
        TPoint at;
        bool hit;
    };
    for (const Case& c :
         {Case{{0, 0}, true}, Case{{1, 0}, false}, Case{{2, 0}, true}, Case{{0, 1}, true}, Case{{1, 1}, false},
          Case{{2, 1}, true}, Case{{3, 0}, false}, Case{{0, 2}, false}, Case{{-1, 0}, false}})
        EXPECT_EQ(mask.Hit(c.at), c.hit) << c.at.x << "," << c.at.y;
}

TEST_F(InGameTest, DescriptionLineShowsTheDefaultWithNothingPointedAt)
{
    Layout("Text{ name = 'inv_desc', w = 200, h = 20 }, TGame{ name = 'game', w = 800, h = 600 }");
    auto* game = GetCast<TGame>(Find("game"));
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(g_pGame, game);
    g_DefaultInventoryWindowText = "obj_nelka";
    game->OnTaskAnimate();
    auto* line = GetCast<TText>(Find("inv_desc"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetText(), "obj_nelka");
    EXPECT_EQ(game->GetFrameCount(), 1);
}

TEST_F(InGameTest, BagArrowsFollowTheBagsContents)
{
    Layout("TGame{ name = 'game', w = 800, h = 600, Window{ name = 'BAG_INV_bg', w = 5, h = 5 },"
           " Window{ name = 'BAG_INV_left', w = 5, h = 5 }, Window{ name = 'BAG_INV_right', w = 5, h = 5 } }");
    auto* game = GetCast<TGame>(Find("game"));
    ASSERT_NE(game, nullptr);
    auto enabled = [&](const char* name) { return (Find(name)->GetFlags() & TWindow::kEnabled) != 0; };
    game->UpdateInvArrows(BAG_INV);
    EXPECT_FALSE(enabled("BAG_INV_bg"));
    EXPECT_FALSE(enabled("BAG_INV_left"));
    tInventory* bag = gGamestate.GetBag(BAG_INV);
    ASSERT_NE(bag, nullptr);
    bag->SetVisibleCount(1);
    bag->AddInventory("key", tInventoryEntry{}, false);
    bag->AddInventory("coin", tInventoryEntry{}, false);
    game->UpdateInvArrows(BAG_INV);
    EXPECT_TRUE(enabled("BAG_INV_bg"));
    EXPECT_FALSE(enabled("BAG_INV_left"));
    EXPECT_TRUE(enabled("BAG_INV_right"));
}

TEST_F(InGameTest, CheatKeysFlipTheDebugSwitchesAndEscapePauses)
{
    Layout("TGame{ name = 'game', w = 800, h = 600 }");
    auto* game = GetCast<TGame>(Find("game"));
    ASSERT_NE(game, nullptr);
    TConfig::SetConfig(TPlatform::kCheatMode, "1");
    for (int& flag : debugflag)
        flag = 0;
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(game->OnKeyDown('v', 0));
    EXPECT_EQ(debugflag[3], 1);
    EXPECT_TRUE(game->OnKeyDown('t', 0));
    EXPECT_EQ(debugflag[1], 1);
    TConfig::SetConfig(TPlatform::kCheatMode, "0");
    EXPECT_FALSE(game->OnKeyDown('t', 0));
    EXPECT_EQ(debugflag[1], 1);

    Lua("EnterPause = function() gPaused = true end; ExitPause = function() end;"
        " DoModal = function(name) gPauseScreen = name end");
    EXPECT_TRUE(game->OnKeyDown(char(TEvent::kEscape), 0));
    EXPECT_TRUE(LuaTrue("gPaused == true and gPauseScreen == 'scripts/pause.lua'"));
}

// The scene's pointer goes once, as a dialog comes over play; from then on the dialog's
// buttons show their own, frame after frame, until the dialog has gone and another comes.
TEST_F(InGameTest, ADialogOverPlayShowsItsButtonsOwnCursors)
{
    Layout("TGame{ name = 'game', w = 800, h = 600 }");
    auto* game = GetCast<TGame>(Find("game"));
    ASSERT_NE(game, nullptr);
    CursorManager().SetCursorSetter([](std::shared_ptr<TTexture>, TPoint, bool) {});
    SetCursorHook([](const str& name) { CursorManager().ActivateCursor(name); });
    ButtonCursorActivator() = [](const str& name) { CursorManager().ActivateCursor(name); };
    const auto shown = [] { return std::string(CursorManager().GetActiveCursor().c_str()); };
    const auto frame = [game] {
        TRenderer* renderer = TRenderer::GetInstance();
        ASSERT_TRUE(renderer->BeginDraw(false));
        game->Draw();
        renderer->EndDraw(false);
    };
    CursorManager().ActivateCursor("cursor_exit");
    frame();
    EXPECT_EQ(shown(), "cursor_exit") << "play on top keeps the scene's pointer";
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Layout("tDFButton{ name = 'ask', x = 100, y = 100, w = 80, h = 30, cursor = 'cursor_ask' }");
        frame();
        EXPECT_EQ(shown(), "cursor");
        Send(TEvent::kMouseMove, 120, 110);
        EXPECT_EQ(shown(), "cursor_ask");
        frame();
        frame();
        EXPECT_EQ(shown(), "cursor_ask");
        wm->_PopModal();
        frame();
        CursorManager().ActivateCursor("cursor_exit");
    }
    ButtonCursorActivator() = nullptr;
    SetCursorHook(nullptr);
    CursorManager().SetCursorSetter(nullptr);
}

TEST_F(InGameTest, DiaryOpensOnlyForNewSecondaryEntriesWithTheGameOnTop)
{
    Layout("TGame{ name = 'game', w = 800, h = 600 }");
    auto* game = GetCast<TGame>(Find("game"));
    ASSERT_NE(game, nullptr);
    Lua("gDiary = 0; EnterPause = function() end; ExitPause = function() end; dfSetStatus = function() end;"
        " DoModal = function(name) if name == 'diary/primary.lua' then gDiary = gDiary + 1 end end");
    gGamestate.GetDiary(BOOK_PRI)->AddDiaryEntry(tDiaryEntry{"note", "Note", {}, 0});
    game->DiaryPopup();
    EXPECT_TRUE(LuaTrue("gDiary == 0")) << "primary entries never open the diary by themselves";
    gGamestate.GetDiary(BOOK_SEC)->AddDiaryEntry(tDiaryEntry{"sketch", "Sketch", {}, 0});
    Lua("PushModal('over')");
    game->DiaryPopup();
    EXPECT_TRUE(LuaTrue("gDiary == 0")) << "another dialog is above the game";
    wm->_PopModal();
    game->DiaryPopup();
    EXPECT_TRUE(LuaTrue("gDiary == 1"));
}

}  // namespace

namespace {

TEST_F(InGameTest, MenuEffectRunsOnItsDialogsClockAndFreezesWithIt)
{
    uint32_t now = 1000;
    SetTimeSource([&] { return now; });
    Layout("tMenuParty{ name = 'empty', w = 10, h = 10 },"
           "tMenuParty{ name = 'sparks', px = 5, py = 5, w = 10, h = 10,"
           "  file = 'SetNumParticles(1000)\\nfunction Update(seconds) CreateParticles(seconds * 100) end\\n' }");
    auto* empty = GetCast<tMenuParty>(Find("empty"));
    auto* sparks = GetCast<tMenuParty>(Find("sparks"));
    ASSERT_NE(empty, nullptr);
    ASSERT_NE(sparks, nullptr);
    TModalWindow* dialog = sparks->FindParentModal();
    ASSERT_NE(dialog, nullptr);
    dialog->GetClock().Start();

    now += 500;
    sparks->OnTaskAnimate();
    empty->OnTaskAnimate();
    EXPECT_EQ(sparks->GetParty().GetParticleCount(), 50);
    EXPECT_EQ(empty->GetParty().GetParticleCount(), 0);

    dialog->GetClock().Pause();
    now += 500;
    sparks->OnTaskAnimate();
    EXPECT_EQ(sparks->GetParty().GetParticleCount(), 50) << "a paused dialog freezes its effect";
    SetTimeSource(nullptr);
}

}  // namespace
