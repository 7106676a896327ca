// A scene's frame: requests from scripts carried out at the next update, expired actors
// removed with every reference to them, clicks offered in depth order, zones hit, the cursor
// and the music volume chosen, and the texture-refresh task kept by its owner.

#include "common/log_capture.h"
#include "game/interface/windows/window_helpers.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/scene/trl_task.h"
#include "game/world/state/gamestate.h"
#include "progress_probe.h"
#include "scene_probe.h"
#include "support/render_test_support.h"
#include "ui/window/modal_window.h"
#include "ui/window/window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// Loading a scene makes sprites and textures: the tests run on a renderer.
class SceneUpdate : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        Begin();
    }
    void TearDown() override
    {
        End();
        GLTest::TearDown();
    }
    // A fresh start in the same renderer, for tests that run several cases.
    void Begin()
    {
        ResetProgress();
        gGamestate.SetScene("start", true);
        TheScene() = &scene;
    }
    void End()
    {
        delete SubScene();
        SubScene() = nullptr;
        TheScene() = nullptr;
        DropItem();
        scene.DumpScene();
    }

    ProbeScene scene;
};

TEST_F(SceneUpdate, RequestsWaitForTheNextUpdate)
{
    const struct
    {
        const char* what;
        std::function<void(tScene&)> request;
        std::function<void()> expectDone;
    } cases[] = {
        {"two scene changes: the last wins",
         [](tScene& s) {
             s.ChainTo("cottage");
             s.ChainTo("garden");
         },
         [] {
             EXPECT_EQ(ProgressScene(), "garden");
             EXPECT_EQ(ProgressLastScene(), "start");
         }},
        {"a sub-scene, made with the scene's say spec",
         [](tScene& s) {
             tTextSpec spec = DefaultSaySpec();
             spec.lineHeight = 33;
             s.SetSaySpec(spec);
             s.ChainToSubScene("well");
         },
         [] {
             ASSERT_NE(SubScene(), nullptr);
             EXPECT_EQ(SubScene()->GetSaySpec().lineHeight, 33);
             EXPECT_EQ(ProgressScene(), "well");
         }},
        {"a return from the main scene",
         [](tScene& s) {
             SetProgressText("returnfromscene", "hall");
             s.ReturnFromScene();
         },
         [] { EXPECT_EQ(ProgressScene(), "hall"); }},
        {"a movie that cannot play holds nothing up",
         [](tScene& s) {
             s.StartFlash("movies/none.swf");
             s.ChainTo("garden");
         },
         [] { EXPECT_EQ(ProgressScene(), "garden"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Begin();
        c.request(scene);
        EXPECT_EQ(ProgressScene(), "start");
        EXPECT_EQ(SubScene(), nullptr);
        scene.Update();
        c.expectDone();
        End();
    }
}

TEST_F(SceneUpdate, ASubSceneIsReusedTakesTheInputAndAsksToClose)
{
    ProbeActor* heroine = scene.Add("NELKA");
    scene.ChainToSubScene("well");
    scene.Update();
    tScene* sub = SubScene();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(ActiveScene(), sub);
    scene.ChainToSubScene("cellar");
    scene.Update();
    EXPECT_EQ(SubScene(), sub);
    EXPECT_EQ(ProgressScene(), "cellar");

    EXPECT_TRUE(scene.HasSubScene());
    EXPECT_FALSE(sub->HasSubScene());
    scene.OnMouseDown(TPoint(5, 5));
    EXPECT_FALSE(heroine->WasClicked());

    EXPECT_FALSE(sub->IsReturnRequested());
    sub->ReturnFromScene();
    EXPECT_TRUE(sub->IsReturnRequested());
}

TEST_F(SceneUpdate, PopupTextsReachTheDialogAsTextsNotAsCode)
{
    TWindowManager wm;
    auto* script = new TWindowScriptBase;
    wm.AttachWindowScript(script);
    auto* game = new TModalWindow;
    game->SetName("game");
    wm.PushModal(game);
    ASSERT_EQ(script->DoLuaString("calls = ''\n"
                                  "function EnterPause() calls = calls .. 'enter ' end\n"
                                  "function DisplayDialog(t) dialog = t; calls = calls .. 'dialog ' end\n"
                                  "function ExitPause() calls = calls .. 'exit' end\n"
                                  "function Evil() evil = 1 end\n"),
              0);
    const char* body = "It's mine'; Evil(); x = '\\";
    scene.DoPopup("gfx/owl.png", "The \"owl\"", body);
    lua_State* L = script->GetState();
    auto global = [L](const char* name) {
        lua_getglobal(L, name);
        std::string value = lua_isstring(L, -1) ? lua_tostring(L, -1) : "nil";
        lua_pop(L, 1);
        return value;
    };
    EXPECT_EQ(global("calls"), "");
    scene.Update();
    EXPECT_EQ(global("calls"), "enter dialog exit");
    EXPECT_EQ(global("evil"), "nil");
    lua_getglobal(L, "dialog");
    ASSERT_TRUE(lua_istable(L, -1));
    const std::pair<const char*, std::string> fields[] = {
        {"popupgfx", "gfx/owl.png"}, {"title", "The \"owl\""}, {"body", body}};
    for (const auto& [key, value] : fields) {
        lua_pushstring(L, key);
        lua_gettable(L, -2);
        EXPECT_STREQ(lua_tostring(L, -1), value.c_str()) << key;
        lua_pop(L, 1);
    }
    lua_rawgeti(L, -1, 1);
    EXPECT_STREQ(lua_tostring(L, -1), "scripts/popup.lua");
    lua_pop(L, 2);
}

TEST_F(SceneUpdate, GameOverPopsTheTopWindowAtTheNextUpdateAndEndsThatUpdate)
{
    ProbeActor* owl = scene.Add("OWL");
    TWindowManager wm;
    auto* game = new TModalWindow;
    game->SetName("game");
    wm.PushModal(game);
    auto* over = new TModalWindow;
    over->SetName("over");
    wm.PushModal(over);
    scene.GameOver();
    scene.ChainTo("garden");
    EXPECT_EQ(wm.GetTopModalWindow(), over);
    scene.Update();
    EXPECT_EQ(wm.GetTopModalWindow(), game);
    EXPECT_EQ(owl->Ticks(), 0);
    EXPECT_EQ(ProgressScene(), "start");
    scene.Update();
    // The garden has no script here: the player is told so over the game window, which stays.
    const auto& stack = wm.GetModalStack();
    EXPECT_EQ(std::count(stack.begin(), stack.end(), game), 1);
    EXPECT_EQ(ProgressScene(), "garden");
    // The change of scene came first: loading emptied the scene before its actors' turn.
    for (const auto& actor : scene.GetActors())
        EXPECT_EQ(actor, nullptr);
}

TEST_F(SceneUpdate, AnExpiredActorIsDeletedAndNothingPointsAtItAfterwards)
{
    scene.OpenLua();
    ProbeActor* owl = scene.Add("OWL");
    ProbeActor* heroine = scene.Add("NELKA");
    ProbeActor* oldFox = scene.Add("FOX");
    scene.Add("FOX");  // took the name's entry in the scene object
    int deaths = 0;
    owl->onDelete = [&deaths] { ++deaths; };
    scene.SetConversationMode(true, owl);
    scene.SetCameraFollowActor(owl);
    scene.SetPointed(owl);
    owl->Expire();
    oldFox->Expire();

    scene.Update();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(heroine->Ticks(), 1);
    EXPECT_FALSE(scene.HasActor(owl));
    EXPECT_EQ(scene.GetActorByName("OWL"), nullptr);
    EXPECT_EQ(scene.GetConversationPartner(), nullptr);
    EXPECT_EQ(scene.GetCameraActor(), nullptr);
    EXPECT_EQ(scene.GetPointedActor(), nullptr);
    EXPECT_FALSE(scene.SceneObjectHas("OWL"));
    EXPECT_TRUE(scene.SceneObjectHas("NELKA"));
    EXPECT_TRUE(scene.SceneObjectHas("FOX"));
    scene.ChoiceClicked();  // the partner is gone: nobody to signal
    scene.Update();
    EXPECT_EQ(heroine->Ticks(), 2);
}

TEST_F(SceneUpdate, ActorsAddedWhileAnotherGoesJoinTheSameUpdate)
{
    ProbeActor* hen = scene.Add("HEN");
    ProbeActor* fox = scene.Add("FOX");
    std::vector<ProbeActor*> chicks;
    // Enough new actors to move the list to new storage in the middle of the walk.
    hen->onDelete = [&] {
        for (int i = 0; i < 40; ++i)
            chicks.push_back(scene.Add("CHICK"));
    };
    hen->Expire();
    scene.Update();
    ASSERT_EQ(chicks.size(), 40u);
    EXPECT_EQ(fox->Ticks(), 1);
    for (ProbeActor* chick : chicks)
        EXPECT_EQ(chick->Ticks(), 1);
    EXPECT_EQ(scene.GetActors().size(), 42u);  // the emptied slot stays until the next sort
}

TEST_F(SceneUpdate, AClickReachesEveryActorInDepthOrder)
{
    scene.SetBounds(TRect(0, 0, 1600, 1200));
    scene.SetCameraPosition(tVector2<float>(100, 50));
    scene.Add("FAR", 100);
    scene.Add("NEAR", 500);
    scene.Add("MIDDLE", 300);
    scene.Add("GONE", 400)->Expire();
    scene.Update();

    scene.OnMouseDown(TPoint(5, 7));
    std::vector<std::string> order;
    for (const auto& actor : scene.GetActors()) {
        order.push_back(actor->GetName().c_str());
        EXPECT_TRUE(actor->WasClicked()) << order.back();
    }
    EXPECT_EQ(order, (std::vector<std::string>{"NEAR", "MIDDLE", "FAR"}));
    EXPECT_EQ(scene.GetClickedAtScreen(), tVector2<float>(5, 7));
    EXPECT_EQ(scene.GetClickedAtWorld(), tVector2<float>(105, 57));
}

TEST_F(SceneUpdate, APointHitsTheFirstActorWhoseZoneHoldsIt)
{
    const struct
    {
        const char* what;
        uint32_t flags;
        bool itemInHand;
        tVector2<float> point;
        bool hit;
    } cases[] = {
        {"zone around the actor", 0, false, {210, 210}, true},
        {"zone around the actor, outside", 0, false, {10, 10}, false},
        {"fixed zone", AFLAG_FIXED_HALO, false, {10, 10}, true},
        {"fixed zone, outside", AFLAG_FIXED_HALO, false, {210, 210}, false},
        {"zone for items, empty hand", AFLAG_HALO_FOR_USE_ONLY, false, {210, 210}, false},
        {"zone for items, item in hand", AFLAG_HALO_FOR_USE_ONLY, true, {210, 210}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeScene s;
        s.Add("PLAIN");  // no zone: never hit
        ProbeActor* well = s.Add("WELL");
        well->SetPosition(tVector2<float>(200, 200));
        well->AssignZone(TriangleZone("0,0 100,0 0,100"));
        if (c.flags)
            well->AddFlag(c.flags);
        ProbeActor* behind = s.Add("BEHIND");
        behind->AssignZone(TriangleZone("0,0 1000,0 0,1000"));
        behind->AddFlag(AFLAG_FIXED_HALO);
        if (c.itemInHand)
            HoldItem("key");
        else
            DropItem();
        tGirl* found = s.CheckWorldPoint(c.point);
        EXPECT_EQ(found, c.hit ? static_cast<tGirl*>(well) : static_cast<tGirl*>(behind));
    }
}

// The cursor and the floating name follow the actor under the mouse; once another window
// takes the mouse (the interface), the scene hears no move, and both go.
TEST_F(SceneUpdate, TheCursorAndTheFloatingNameFollowTheMouse)
{
    static std::string shown;
    SetCursorHook([](const str& name) { shown = name.c_str(); });
    TWindow game, hud;
    ProbeActor* hero = scene.Add("HERO");
    ProbeActor* well = scene.Add("WELL");
    well->SetPosition(tVector2<float>(200, 200));
    well->AssignZone(TriangleZone("0,0 100,0 0,100"));
    well->SetPointAtCursor("cursor_talk", tVector2<float>(12, 12));
    const struct
    {
        const char* what;
        int mode;
        const char* item;  // null: empty hand
        TPoint mouse;      // (-1, -1): the mouse went to the interface
        const char* cursor;
        bool pointed;
    } steps[] = {
        {"nobody follows clicks", MODE_CUTSCENE, nullptr, TPoint(210, 210), "cursor_inactive", true},
        {"over the ground", MODE_FOLLOWCLICKS, nullptr, TPoint(10, 10), "cursor", false},
        {"over the well", MODE_FOLLOWCLICKS, nullptr, TPoint(210, 210), "cursor_talk", true},
        {"over the well with an item", MODE_FOLLOWCLICKS, "key", TPoint(210, 210), "key", true},
        {"back over the well", MODE_FOLLOWCLICKS, nullptr, TPoint(211, 211), "cursor_talk", true},
        {"onto the interface", MODE_FOLLOWCLICKS, nullptr, TPoint(-1, -1), "cursor", false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        hero->SetMode(s.mode);
        if (s.item)
            HoldItem(s.item);
        else
            DropItem();
        if (s.mouse.x < 0) {
            SetMouseWindow(&hud);
        } else {
            SetMouseWindow(&game);
            scene.OnMouseMove(s.mouse);
        }
        scene.UpdateMouseCursor();
        EXPECT_EQ(shown, s.cursor);
        EXPECT_EQ(scene.GetPointedActor() == well, s.pointed);
    }
    SetMouseWindow(nullptr);
    SetCursorHook(nullptr);
}

TEST(TextureRefresh, TheTaskStaysWithItsOwnerAfterEachRun)
{
    TTaskList list;
    tTRLTask task;  // the owner's member: a list that deleted it would free the owner's memory
    list.AdoptTask(&task);
    TLogCapture log;
    list.DoAll(TTask::kIdleContext);
    list.DoAll(TTask::kIdleContext);
    EXPECT_TRUE(list.Contains(&task));
    const std::string text = log.Text();
    size_t runs = 0;
    for (size_t at = text.find("tTRLTask::DoTask() OUT"); at != std::string::npos;
         at = text.find("tTRLTask::DoTask() OUT", at + 1))
        ++runs;
    EXPECT_EQ(runs, 2u);
    EXPECT_TRUE(list.OrphanTask(&task));
}

}  // namespace
