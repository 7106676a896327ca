#include "game/world/state/gamestate.h"

#include "../fake_scene.h"
#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string S(const str& s)
{
    return s.c_str();
}

TEST(Gamestate, NamesBagsAndBooks)
{
    tGamestate g;
    EXPECT_EQ(S(g.GetBag(BAG_INV)->GetName()), "BAG_INV");
    EXPECT_EQ(g.GetBag(BAG_MAGIC)->GetBag(), 1);
    EXPECT_EQ(S(g.GetDiary(BOOK_EDU)->GetName()), "BOOK_EDU");
    EXPECT_EQ(g.GetBag(2), nullptr);
    EXPECT_EQ(g.GetDiary(-1), nullptr);
}

TEST(Gamestate, VariablesAndScenes)
{
    tGamestate g;
    EXPECT_EQ(g.Get("never"), 0);
    EXPECT_TRUE(g.Variables().empty());
    g.Set("x", 7);
    EXPECT_EQ(g.Get("x"), 7);

    EXPECT_TRUE(g.GetString("never").empty());
    EXPECT_TRUE(g.Strings().empty());
    g.SetString("s", "text");
    EXPECT_EQ(S(g.GetString("s")), "text");
    g.SetString("s", nullptr);
    EXPECT_TRUE(g.Strings().empty());

    EXPECT_FALSE(g.CanReturnFromScene());
    g.SetReturnFromScene("garden");
    EXPECT_TRUE(g.CanReturnFromScene());
    EXPECT_EQ(S(g.GetString("returnfromscene")), "garden");

    g.SetScene("one", true);
    g.SetScene("two", true);
    g.SetScene("three", false);
    EXPECT_EQ(S(g.GetCurrentScene()), "three");
    EXPECT_EQ(S(g.GetLastScene()), "one");
    // Back from a sub-scene the last scene, handed over as it is kept, becomes current again.
    g.SetScene(g.GetLastScene(), true);
    EXPECT_EQ(S(g.GetCurrentScene()), "one");
    EXPECT_EQ(S(g.GetLastScene()), "three");
}

TEST(Gamestate, UseInventory)
{
    struct Click
    {
        int bag, index;
    };
    struct Case
    {
        const char* what;
        bool followClicks;
        std::vector<Click> clicks;
        const char* key;
        int bag;
    };
    const Case cases[] = {
        {"picks up", true, {{0, 1}}, "b", 0},
        {"same item puts down", true, {{0, 1}, {0, 1}}, "", -1},
        {"another item of the same bag puts down", true, {{0, 1}, {0, 0}}, "", -1},
        {"the other bag's item takes over", true, {{0, 1}, {1, 0}}, "m", 1},
        {"outside follow-clicks mode nothing", false, {{0, 1}}, "", -1},
        {"no bag 2", true, {{2, 0}}, "", -1},
        {"past the end gives an empty key", true, {{0, 5}}, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeScene scene;
        scene.followClicks = c.followClicks;
        tGamestate g;
        tInventoryEntry e;
        e.anim = "icon";
        e.cursor = "cur";
        e.cantuse = "no";
        e.hotX = 3;
        g.GetBag(0)->AddInventory("a", e, false);
        g.GetBag(0)->AddInventory("b", e, false);
        g.GetBag(1)->AddInventory("m", e, false);
        for (const Click& k : c.clicks)
            g.UseInventory(k.bag, k.index);
        EXPECT_EQ(S(g.GetInvUsage_Raw()), c.key);
        EXPECT_EQ(g.GetBagInUse(), c.bag);
        EXPECT_EQ(S(g.GetInvUsage()), c.key);
        EXPECT_EQ(S(g.GetInvUsage_CantUse()), *c.key ? "no" : "");
        if (*c.key) {
            ASSERT_EQ(scene.cursors.count(c.key), 1u);
            EXPECT_EQ(S(scene.cursors[c.key].cursor), "cur");
            EXPECT_EQ(scene.cursors[c.key].hotX, 3.0f);
            scene.followClicks = false;
            EXPECT_TRUE(g.GetInvUsage().empty());
        }
    }
}

TEST(Gamestate, RemovingTheItemInUseAndClear)
{
    FakeScene scene;
    tGamestate g;
    g.GetBag(1)->AddInventory("m", tInventoryEntry(), false);
    g.UseInventory(1, 0);
    ASSERT_EQ(S(g.GetInvUsage_Raw()), "m");
    g.GetBag(1)->RemoveInventory("m");
    EXPECT_TRUE(g.GetInvUsage_Raw().empty());
    EXPECT_EQ(g.GetBagInUse(), -1);

    g.SetScene("s", true);
    g.Set("v", 1);
    g.SetString("t", "x");
    g.GetBag(0)->AddInventory("a", tInventoryEntry(), false);
    g.GetDiary(1)->AddDiaryEntry(tDiaryEntry{"k", "t", {}, 0});
    g.GetQuests().Add("q", tQuestEntry());
    g.clear();
    EXPECT_TRUE(g.Variables().empty());
    EXPECT_TRUE(g.Strings().empty());
    EXPECT_EQ(g.GetBag(0)->GetInventoryEntryCount(), 0);
    EXPECT_EQ(g.GetDiary(1)->GetEntryCount(), 0);
    EXPECT_EQ(g.GetQuests().GetEntryCount(), 0);
    EXPECT_EQ(S(g.GetCurrentScene()), "s");
}

TEST(Gamestate, TaskCompleteReports)
{
    static std::string reported;
    SetTaskEventReport([](const char* kind, const char* name, const char* extra) {
        reported = std::string(kind) + "/" + name + "/" + extra;
    });
    tGamestate g;
    g.TaskComplete("fed the cat");
    SetTaskEventReport(nullptr);
    EXPECT_EQ(reported, "scripted-task/fed the cat/");
}

}  // namespace
