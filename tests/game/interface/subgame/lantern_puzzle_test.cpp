// The demo's lantern puzzle on the real data, headless: drawn inside its window over the
// forest, then played from the forest to its end (the popup, the shutters in the order of
// their stars, the award, the sketch, back in the forest with the way on open).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/log_capture.h"
#include "core/time/time_source.h"
#include "game/interface/built_assets_fixture.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/ingame/world_scene_link.h"
#include "game/interface/subgame/sub_game.h"
#include "game/script/window_autoreg.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/diary/diary.h"
#include "game/world/scene/scene.h"
#include "game/world/scenelist/scene_list.h"
#include "game/world/state/gamestate.h"
#include "online/scores/zv_hiscores.h"

namespace {

constexpr char kPuzzle[] = "quest/forest/lantern.lua";
// The puzzle's window on the screen, as its script places it.
const TRect kPuzzleWindow(200, 120, 600, 440);

class LanternPuzzleTest : public DrawnGameTest
{
protected:
    void SetUp() override
    {
        DrawnGameTest::SetUp();
        SetTimeSource([this] { return now; });
        AddAutoRegWindowTypes(wm.get());
        InstallWorldSceneLink();
        g_SceneDescs = {tSceneDesc{"The Garden", "garden", "quest/garden/"},
                        tSceneDesc{"The Night Forest", "forest", "quest/forest/"},
                        tSceneDesc{"The Clearing", "clearing", "quest/clearing/"}};
        gGamestate.clear();
        mScores = std::make_unique<TZvHiscores>(false);
        mScores->SetProperty(TZvHiscores::kPropUserName, "mira");
        gAwardsManager.SetScoreTables(mScores.get());
        TheScene() = new tScene;
        dfLua lua(script->GetState());
        PrepareLuaEnvironment(lua);
        // The dialog layer's own functions; the popup is only recorded.
        ASSERT_EQ(script->DoLuaString("EnterPause = function() end; ExitPause = function() end;"
                                      " gPopups = {}; DisplayDialog = function(p) table.insert(gPopups, p) end",
                                      -1, 0),
                  0);
    }
    void TearDown() override
    {
        // The game root takes the sub-scene and the main scene's content with it.
        wm.reset();
        delete SubScene();
        SubScene() = nullptr;
        delete TheScene();
        TheScene() = nullptr;
        gAwardsManager.SetScoreTables(nullptr);
        g_SceneDescs.clear();
        gGamestate.clear();
        SetTimeSource(nullptr);
        DrawnGameTest::TearDown();
    }
    void Click(int x, int y)
    {
        TEvent e;
        e.type = TEvent::kMouseDown;
        e.x = x;
        e.y = y;
        wm->HandleEvent(&e);
        e.type = TEvent::kMouseUp;
        wm->HandleEvent(&e);
    }
    // Frames until `done` holds, at most `limit` of them; whether it came to hold.
    template <class F>
    bool FramesUntil(F done, int limit)
    {
        for (int i = 0; i < limit && !done(); ++i)
            Frame();
        return done();
    }
    std::string LuaText(const char* expression)
    {
        lua_State* L = script->GetState();
        if (script->DoLuaString((std::string("gText = tostring(") + expression + ")").c_str(), -1, 0) != 0)
            return "error";
        lua_getglobal(L, "gText");
        std::string text = lua_tostring(L, -1);
        lua_pop(L, 1);
        return text;
    }
    // The centre of shutter `i` (1 to 4, left to right) on the screen.
    static TPoint Shutter(int i) { return TPoint(kPuzzleWindow.left + 90 + 72 * (i - 1), kPuzzleWindow.top + 170); }

    std::unique_ptr<TZvHiscores> mScores;
};

// Alone in a dialog, the window drives its sub-scene. The sub-scene fades in from black across
// its whole window and nowhere else, then shows its board there.
TEST_F(LanternPuzzleTest, PuzzleIsDrawnInsideItsWindowFadeAndAll)
{
    SubScene() = new tScene;
    ASSERT_TRUE(SubScene()->LoadSceneByName(kPuzzle, false));
    Layout("tSubGame{ name = 'subgame' }");
    Frame();
    EXPECT_EQ(Find("subgame")->GetRect(), kPuzzleWindow);
    struct Probe
    {
        int x, y;
        uint32_t early, late;  // 0xAARRGGBB, first frame and once the fade is done
    };
    const Probe probes[] = {
        {kPuzzleWindow.left + 2, kPuzzleWindow.top + 2, 0xFF000000u, 0xFF3A2E1Eu},      // the board's frame
        {kPuzzleWindow.right - 3, kPuzzleWindow.bottom - 3, 0xFF000000u, 0xFF3A2E1Eu},  // its far corner
        {kPuzzleWindow.left - 5, kPuzzleWindow.top + 50, 0xFFFFFFFFu, 0xFFFFFFFFu},     // outside it
        {kPuzzleWindow.right + 5, kPuzzleWindow.bottom + 5, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    auto near = [](uint32_t a, uint32_t b) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
            if (d > 24 || d < -24)
                return false;
        }
        return true;
    };
    for (const Probe& p : probes)
        EXPECT_TRUE(near(Pixel(p.x, p.y), p.early)) << p.x << "," << p.y << ": " << std::hex << Pixel(p.x, p.y);
    for (int i = 0; i < 60; ++i)
        Frame();
    for (const Probe& p : probes)
        EXPECT_TRUE(near(Pixel(p.x, p.y), p.late)) << p.x << "," << p.y << ": " << std::hex << Pixel(p.x, p.y);
}

TEST_F(LanternPuzzleTest, PuzzlePlayedFromTheForestToItsEnd)
{
    TLogCapture log;
    Layout("TGame{ name = 'game', x = 0, y = 0, w = 800, h = 600, tSubGame{ name = 'subgame' },"
           " Window{ name = 'return', w = 10, h = 10 } }");
    gGamestate.SetScene("garden", true);
    gGamestate.SetScene("forest", true);
    gGamestate.Set("forest_arrived", 1);  // no opening line to wait through
    gGamestate.GetBag(BAG_MAGIC)->AddInventory("lantern", tInventoryEntry{}, false);
    gGamestate.GetQuests().Add("lantern", tQuestEntry{"lantern", "", "quest_lantern", "quest_lantern_body"});
    ASSERT_TRUE(TheScene()->LoadSceneByName("forest", false));
    const tVector2<float> pastTheDark(700, 475);
    EXPECT_LT(TheScene()->GetGround().PolyCollideLinear(pastTheDark), 0) << "the dark path is shut";
    ASSERT_TRUE(FramesUntil([] { return TheScene()->InFollowClicksMode(); }, 200));

    // The lantern, used on the stump: Mira walks there, the popup explains, she sketches the
    // lantern in her sketch book, the puzzle opens.
    gGamestate.UseInventory(BAG_MAGIC, 0);
    ASSERT_STREQ(gGamestate.GetInvUsage().c_str(), "lantern");
    Click(400, 460);
    ASSERT_TRUE(FramesUntil([] { return SubScene() != nullptr; }, 1500)) << "Mira never reached the stump";
    // The popup shows its texts as they stand: they arrive localised.
    EXPECT_EQ(LuaText("gPopups[1].popupgfx .. '|' .. gPopups[1].title"),
              "quest/forest/lantern_popup.png|The lantern's shutters");
    EXPECT_EQ(LuaText("string.sub(gPopups[1].body, 1, 27)"), "The gardener's lantern will");
    const tDiary* sketches = gGamestate.GetDiary(BOOK_SEC);
    ASSERT_NE(sketches, nullptr);
    EXPECT_GE(sketches->GetEntryByName("sketch"), 0) << "the sketch is there to help with the puzzle";
    EXPECT_STREQ(gGamestate.GetCurrentScene().c_str(), kPuzzle);
    Frame();
    EXPECT_EQ(Find("subgame")->GetRect(), kPuzzleWindow);

    // Stars 3, 1, 4, 2 from the left: a shutter out of turn shuts the open ones again, so
    // only the full order from the start lights the lantern.
    for (int i : {2, 3, 2, 4, 1})
        Click(Shutter(i).x, Shutter(i).y);
    Frame();
    EXPECT_EQ(gGamestate.Get("lantern_lit"), 0) << "one shutter is still closed";
    Click(Shutter(3).x, Shutter(3).y);
    // Lit, the lantern has given all it gives at once: whenever play is left, it is kept whole.
    EXPECT_EQ(gGamestate.Get("lantern_lit"), 1);
    EXPECT_FALSE(gGamestate.GetBag(BAG_MAGIC)->CheckInventory("lantern")) << "the lantern stays on the stump";
    EXPECT_EQ(gGamestate.GetQuests().Check("lantern"), 2) << "the quest is complete";
    EXPECT_TRUE(gAwardsManager.HasAward("award_lit_forest"));
    // A moment on the burning lantern; then the puzzle closes, the way back with it (in that
    // very frame: a key pressed next finds no back button), and the forest tells of the award.
    Frame();
    EXPECT_TRUE(gGamestate.CanReturnFromScene());
    EXPECT_TRUE(Find("return")->GetFlags() & TWindow::kEnabled);
    ASSERT_TRUE(FramesUntil([] { return SubScene() == nullptr; }, 300));
    EXPECT_FALSE(gGamestate.CanReturnFromScene());
    EXPECT_FALSE(Find("return")->GetFlags() & TWindow::kEnabled);
    EXPECT_STREQ(gGamestate.GetCurrentScene().c_str(), "forest");
    EXPECT_EQ(Find("subgame")->GetWindowWidth(), 0);
    ASSERT_TRUE(FramesUntil([this] { return LuaText("tostring(gPopups[2] ~= nil)") == "true"; }, 300));
    EXPECT_EQ(LuaText("gPopups[2].title"), "Award earned: Order of the stars");
    EXPECT_FALSE(gAwardsManager.HasAward("award_first_try")) << "a shutter was opened out of turn";
    ASSERT_TRUE(FramesUntil([] { return TheScene()->InFollowClicksMode(); }, 600));
    EXPECT_GE(TheScene()->GetGround().PolyCollideLinear(pastTheDark), 0) << "the lantern lights the way on";
    // Every picture, zone and script found; the HUD's atlas belongs to the interface.
    EXPECT_EQ(LogLinesWith(log.Text(), {"failed", "Failed", "wasn't a table"}, "quest/hud/pieces.xml"),
              std::vector<std::string>());
}

// The game root goes: the main scene's content first, then the sub-scene over it.
TEST_F(LanternPuzzleTest, TheGameRootEndsTheMainSceneThenTheSubScene)
{
    ASSERT_TRUE(TheScene()->LoadSceneByName("forest", false));
    SubScene() = new tScene;
    ASSERT_TRUE(SubScene()->LoadSceneByName(kPuzzle, false));
    Layout("TGame{ name = 'game', x = 0, y = 0, w = 800, h = 600 }");
    TLogCapture log;
    delete Find("game");
    const std::string text = log.Text();
    const size_t main = text.find("MET_EndScene(forest)");
    const size_t sub = text.find("MET_EndScene(" + std::string(kPuzzle));
    ASSERT_NE(main, std::string::npos) << text;
    ASSERT_NE(sub, std::string::npos) << text;
    EXPECT_LT(main, sub);
    EXPECT_EQ(SubScene(), nullptr);
}


}  // namespace
