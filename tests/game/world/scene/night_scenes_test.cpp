// The forest, the lantern puzzle and the clearing from the demo's data with the real scene
// code: each loads whole (pictures, meshes, zones, the fireflies' effect), and the clearing's
// last conversation ends the game.

#include "common/log_capture.h"
#include "core/time/time_source.h"
#include "game/world/actor/girl.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/clock/pause.h"
#include "game/world/demo_assets_gl_test.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/scenelist/scene_list.h"
#include "game/world/state/gamestate.h"
#include "online/scores/zv_hiscores.h"
#include "scene_frames.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Log lines that tell of something missing; the HUD's atlas, which every scene asks for,
// belongs to the interface.
std::vector<std::string> Faults(const std::string& log)
{
    return LogLinesWith(log, {"failed", "Failed", "wasn't a table"}, "quest/hud/pieces.xml");
}

// The game window as far as a conversation needs it: the choice box and its buttons.
TWindow* gChoiceWindow = nullptr;

TWindow* ChoiceWindow()
{
    return gChoiceWindow;
}

class NightScenes : public DemoAssetsGLTest
{
protected:
    void SetUp() override
    {
        DemoAssetsGLTest::SetUp();
        SetTimeSource([this] { return clock; });
        g_SceneDescs = {tSceneDesc{"The Night Forest", "forest", "quest/forest/"},
                        tSceneDesc{"The Clearing", "clearing", "quest/clearing/"}};
        gGamestate.clear();
        StartGameClock();
        TheScene() = scene.get();
    }
    void TearDown() override
    {
        // The choice window went with its window manager, before the scene's unloading asks.
        SetGameWindowHook(nullptr);
        gChoiceWindow = nullptr;
        TheScene() = nullptr;
        scene.reset();
        gAwardsManager.SetScoreTables(nullptr);
        gGamestate.clear();
        g_SceneDescs.clear();
        SetTimeSource(nullptr);
        DemoAssetsGLTest::TearDown();
    }
    void Frames(int count) { RunSceneFrames(*scene, clock, 20, count); }
    template <class F>
    bool FramesUntil(F done, int limit)
    {
        for (int i = 0; i < limit && !done(); ++i)
            Frames(1);
        return done();
    }
    std::vector<std::string> ActorNames() const
    {
        std::vector<std::string> names;
        for (const auto& actor : scene->GetActors())
            names.push_back(actor ? actor->GetName().c_str() : "");
        return names;
    }

    std::unique_ptr<tScene> scene = std::make_unique<tScene>();
    uint32_t clock = 1000;
};

TEST_F(NightScenes, EachLoadsWholeWithItsActorsInPlace)
{
    struct Case
    {
        const char* name;
        const char* lastScene;
        std::vector<std::string> actors;
        TRect bounds;
        tVector2<float> heroineAt;  // (0, 0): no heroine
    };
    const Case cases[] = {
        {"forest",
         "garden",
         {"NELKA", "STUMP", "LANTERN", "WARMTH", "FIREFLIES", "GARDEN_PATH", "CLEARING_PATH"},
         TRect(0, 0, 800, 600),
         {60, 530}},
        {"forest",
         "clearing",
         {"NELKA", "STUMP", "LANTERN", "WARMTH", "FIREFLIES", "GARDEN_PATH", "CLEARING_PATH"},
         TRect(0, 0, 800, 600),
         {770, 478}},  // on the way on, in front of the last trunk
        {"clearing", "forest", {"NELKA", "PIP", "FOREST_PATH"}, TRect(0, 0, 800, 600), {60, 520}},
        {"quest/forest/lantern.lua",
         "forest",
         {"HAND", "SHUTTER_1", "SHUTTER_2", "SHUTTER_3", "SHUTTER_4", "GLOW", "CLOSE"},
         TRect(0, 0, 400, 320),
         {0, 0}},
    };
    for (const Case& c : cases) {
        TLogCapture log;
        gGamestate.SetScene(c.lastScene, true);
        gGamestate.SetScene(c.name, true);
        // As a walk from the last scene leaves it: she comes in by that scene's way.
        gGamestate.SetString("via", c.name);
        ASSERT_TRUE(scene->LoadSceneByName(c.name, false)) << c.name;
        EXPECT_EQ(ActorNames(), c.actors) << c.name;
        EXPECT_EQ(scene->GetSceneBounds(), c.bounds) << c.name;
        if (c.heroineAt != tVector2<float>(0, 0)) {
            EXPECT_EQ(scene->GetActorByName("NELKA")->GetPosition(), c.heroineAt) << c.name << " from " << c.lastScene;
        }
        Frames(5);
        EXPECT_EQ(Faults(log.Text()), std::vector<std::string>()) << c.name;
    }
}

// The puzzle takes its own place on the screen; the fireflies are an effect that keeps going.
TEST_F(NightScenes, PuzzleSitsInItsWindowAndFirefliesKeepFlying)
{
    ASSERT_TRUE(scene->LoadSceneByName("quest/forest/lantern.lua", false));
    EXPECT_EQ(scene->GetScreenPosition(), tVector2<float>(200, 120));
    EXPECT_EQ(scene->GetScreenSize(), tVector2<float>(400, 320));
    EXPECT_TRUE(scene->InFollowClicksMode()) << "the hand takes the clicks";

    ASSERT_TRUE(scene->LoadSceneByName("forest", false));
    tGirl* fireflies = scene->GetActorByName("FIREFLIES");
    ASSERT_NE(fireflies, nullptr);
    ASSERT_TRUE(fireflies->HasParty());
    Frames(600);
    EXPECT_FALSE(fireflies->IsPartyDone());
}

// The fireflies watched: in no frame (play may be left in any) are they seen without their
// diary page and their award.
TEST_F(NightScenes, TheFirefliesAreKeptWithTheirPageAndTheirAward)
{
    TZvHiscores scores(false);
    scores.SetProperty(TZvHiscores::kPropUserName, "mira");
    gAwardsManager.SetScoreTables(&scores);
    gGamestate.Set("forest_arrived", 1);
    gGamestate.SetScene("garden", true);
    gGamestate.SetScene("forest", true);
    ASSERT_TRUE(scene->LoadSceneByName("forest", false));
    ASSERT_TRUE(FramesUntil([this] { return scene->InFollowClicksMode(); }, 600));
    scene->OnMouseDown(TPoint(640, 330));
    int halfDone = 0;
    ASSERT_TRUE(FramesUntil(
        [&] {
            const bool seen = gGamestate.Get("fireflies_seen") == 1;
            halfDone += seen && (gGamestate.GetDiary(BOOK_PRI)->GetEntryByName("fireflies") < 0 ||
                                 !gAwardsManager.HasAward("award_fireflies"));
            return seen && scene->InFollowClicksMode();
        },
        3000))
        << "the fireflies were never watched";
    EXPECT_EQ(halfDone, 0);
}

TEST_F(NightScenes, ClearingEndsTheGameWhenMiraAndPipSetOffHome)
{
    TWindowManager wm;
    auto* game = new TModalWindow;
    game->SetName("game");
    wm.PushModal(game);
    auto* box = new TWindow;
    box->SetName("CHOICEBOX");
    game->AdoptChild(box, false);
    for (int i = 0; i < 5; ++i) {
        auto* button = new TWindow;
        button->SetName(str::getFormatted("button%d", i));
        box->AdoptChild(button, false);
    }
    gChoiceWindow = game;
    SetGameWindowHook(&ChoiceWindow);
    TZvHiscores scores(false);
    scores.SetProperty(TZvHiscores::kPropUserName, "mira");
    gAwardsManager.SetScoreTables(&scores);
    gGamestate.GetQuests().Add("findpip", tQuestEntry{"findpip", "", "quest_findpip", "quest_findpip_body"});
    gGamestate.SetScene("forest", true);
    gGamestate.SetScene("clearing", true);
    ASSERT_TRUE(scene->LoadSceneByName("clearing", false));
    ASSERT_TRUE(FramesUntil([this] { return scene->InFollowClicksMode(); }, 600));

    scene->OnMouseDown(TPoint(575, 380));  // Pip on his stone
    tChoiceHandler& choices = scene->GetChoiceHandler();
    ASSERT_TRUE(FramesUntil([&] { return choices.IsChoiceOpen(); }, 3000)) << "no conversation";
    std::vector<std::string> offered;
    for (const auto& choice : choices.GetChoices())
        offered.push_back(choice.key.c_str());
    EXPECT_EQ(offered, (std::vector<std::string>{"clearing_ask_later", "clearing_ask_moon", "clearing_ask_worried",
                                                 "clearing_ask_home"}));
    choices.ChoiceClicked(1);
    ASSERT_TRUE(FramesUntil([&] { return choices.IsChoiceOpen(); }, 3000)) << "the choices come back after an answer";
    // The question asked goes last and shows dimmed, the others as they were.
    EXPECT_THAT(choices.GetChoices()[3].text.c_str(), HasSubstr("<font color="));
    EXPECT_THAT(choices.GetChoices()[1].text.c_str(), Not(HasSubstr("<font")));
    EXPECT_EQ(wm.GetTopModalWindow(), game);
    choices.ChoiceClicked(2);  // home, after the farewell and the question not asked yet
    // In no frame (play may be left in any) is Pip's award held with his quest still open.
    int halfDone = 0;
    ASSERT_TRUE(FramesUntil(
        [&] {
            halfDone += gAwardsManager.HasAward("award_found_pip") && gGamestate.GetQuests().Check("findpip") != 2;
            return wm.GetTopModalWindow() != game;
        },
        3000))
        << "the game never ended";
    EXPECT_EQ(halfDone, 0);
    EXPECT_EQ(gGamestate.Get("game_finished"), 1);
    EXPECT_TRUE(gAwardsManager.HasAward("award_found_pip"));
    EXPECT_EQ(gGamestate.GetQuests().Check("findpip"), 2);
}

}  // namespace
