#include "game/world/inventory/inventory.h"

#include "../fake_scene.h"
#include "common/log_capture.h"
#include "core/prefs/prefs.h"
#include "game/world/common/save_keys.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

class InUse : public tInventoryUser
{
public:
    const str& GetInvUsage_Raw() const override { return key; }
    void ClearInvUsage() override { key = str(), ++clears; }
    str key;
    int clears = 0;
};

// A bag of `items` items named k0, k1, ... and `visible` icons on its strip.
struct Bag : tInventory
{
    Bag(int items, int visible)
    {
        SetName("BAG_INV", 0);
        SetVisibleCount(visible);
        for (int i = 0; i < items; ++i)
            AddInventory(str::getFormatted("k%d", i), tInventoryEntry(), false);
    }
};

TEST(Inventory, KeysOrderedAndAnnouncedOnce)
{
    FakeScene scene;
    tInventory bag;
    bag.SetName("BAG_MAGIC", 1);
    bag.SetVisibleCount(5);
    tInventoryEntry e;
    e.text = "first";
    bag.AddInventory("b", e, true);
    bag.AddInventory("a", e, false);
    e.text = "second";
    bag.AddInventory("b", e, true);

    EXPECT_EQ(bag.GetInventoryIndex("a"), 0);
    EXPECT_EQ(bag.GetInventoryIndex("b"), 1);
    EXPECT_EQ(bag.GetInventoryIndex("c"), -1);
    EXPECT_EQ(std::string(bag.GetInventoryKeyAbs(1).c_str()), "b");
    EXPECT_TRUE(bag.GetInventoryKeyAbs(2).empty());
    EXPECT_EQ(std::string(bag.GetInventoryEntry("b")->text.c_str()), "second");
    EXPECT_EQ(bag.GetInventoryEntry("b")->parameter, 3206);
    EXPECT_EQ(scene.announced, (std::vector<std::pair<std::string, int>>{{"b", 1}}));
}

TEST(Inventory, NotOwnedKeysChangeNothing)
{
    Bag bag(1, 3);
    bag.ShowInventory("x", false);
    bag.SetItemParameter("x", 5);
    bag.SetItemDescription("x", "t");
    bag.RemoveInventory("x");
    EXPECT_EQ(bag.GetInventoryEntryCount(), 1);
    EXPECT_FALSE(bag.CheckInventory("x"));
    EXPECT_EQ(bag.GetInventoryLocationRelativeInIcons("x"), 0.0f);

    FakeScene scene;
    bag.SetItemDescription("k0", "desc");
    bag.SetItemParameter("k0", 9);
    bag.ShowInventory("k0", false);
    const tInventoryEntry* e = bag.GetInventoryEntry("k0");
    EXPECT_EQ(std::string(e->text.c_str()), "L:desc");
    EXPECT_EQ(e->parameter, 9);
    EXPECT_FALSE(e->shown);
}

TEST(Inventory, MoveInventoryClamps)
{
    struct Case
    {
        int items, visible, start, delta, first;
    };
    const Case cases[] = {
        {5, 3, 0, 10, 2}, {5, 3, 2, -10, 0}, {5, 3, 0, 1, 1}, {3, 3, 0, 1, 0}, {3, 3, 0, -1, 0}, {2, 3, 0, 5, 0},
        {5, 3, 1, INT_MAX, 2}, {5, 3, 1, INT_MIN, 0},
    };
    for (const Case& c : cases) {
        Bag bag(c.items, c.visible);
        bag.MoveInventory(-100);
        bag.MoveInventory(c.start);
        bag.MoveInventory(c.delta);
        EXPECT_EQ(bag.GetFirstVisible(), c.first)
            << c.items << " items, " << c.visible << " visible, delta " << c.delta;
        EXPECT_EQ(bag.InvCanMoveLeft(), c.first != 0);
        EXPECT_EQ(bag.InvCanMoveRight(), c.first + c.visible < c.items);
    }
}

TEST(Inventory, AddingPastTheWindowMakesItTheLastVisible)
{
    Bag bag(3, 3);
    EXPECT_EQ(bag.GetFirstVisible(), 0);
    bag.AddInventory("k9", tInventoryEntry(), false);  // index 3
    EXPECT_EQ(bag.GetFirstVisible(), 1);
    EXPECT_EQ(bag.GetTargetX(), 1.0f);
    EXPECT_EQ(bag.GetInventoryLocationRelativeInIcons("k9"), 2.0f);
    bag.PositionInventoryForVisibility("k0");
    EXPECT_EQ(bag.GetFirstVisible(), 0);

    TLogCapture log;
    bag.PositionInventoryForVisibility("nope");
    EXPECT_NE(log.Text().find("Can't make non-owned item nope visible"), std::string::npos);
}

TEST(Inventory, ScrollGlidesAtMostATenthAndLands)
{
    Bag bag(6, 3);
    bag.MoveInventory(-100);
    bag.MoveInventory(1);
    int steps = 0;
    float last = bag.GetScrollX();
    while (bag.GetScrollX() != 1.0f && steps < 100) {
        bag.UpdateScroll();
        EXPECT_LE(bag.GetScrollX() - last, 0.1f + 1e-6f);
        EXPECT_GT(bag.GetScrollX(), last);
        last = bag.GetScrollX();
        ++steps;
    }
    EXPECT_EQ(bag.GetScrollX(), 1.0f);
    EXPECT_GE(steps, 10);
    EXPECT_LE(steps, 11);
    bag.MoveInventory(1);
    bag.JumpInventoryToTarget();
    EXPECT_EQ(bag.GetScrollX(), 2.0f);
}

TEST(Inventory, IconLocation)
{
    Bag bag(3, 3);
    float x = 0, y = 0;
    bag.GetInventoryLocation("k1", &x, &y);  // no scene
    EXPECT_EQ(x, 400.0f);
    EXPECT_EQ(y, 600.0f);
    FakeScene scene;
    bag.GetInventoryLocation("k1", &x, &y);
    EXPECT_EQ(x, 100.0f + 40.0f + 20.0f);
    EXPECT_EQ(y, 500.0f + 15.0f);
    bag.GetInventoryLocation("gone", &x, &y);
    EXPECT_EQ(x, 400.0f);
    scene.stripName = "other";
    bag.GetInventoryLocation("k1", &x, &y);
    EXPECT_EQ(x, 400.0f);
}

TEST(Inventory, RemovingTheItemInUseClearsIt)
{
    Bag bag(2, 3);
    InUse user;
    bag.SetUser(&user);
    user.key = "k1";
    bag.RemoveInventory("k0");
    EXPECT_EQ(user.clears, 0);
    bag.RemoveInventory("k1");
    EXPECT_EQ(user.clears, 1);
    EXPECT_EQ(bag.GetInventoryEntryCount(), 0);
}

TEST(Inventory, ClearKeepsPositions)
{
    Bag bag(6, 3);
    bag.JumpInventoryToTarget();
    bag.clear();
    EXPECT_EQ(bag.GetInventoryEntryCount(), 0);
    EXPECT_EQ(bag.GetFirstVisible(), 0);
    EXPECT_EQ(bag.GetScrollX(), 3.0f);
}

TEST(Inventory, CursorHotspotSavedAsASaturatedInteger)
{
    const struct
    {
        float hot;
        int saved;
    } cases[] = {{4.75f, 4}, {-2.5f, -2}, {1e10f, INT_MAX}, {-1e10f, INT_MIN}, {NAN, 0}};
    for (const auto& c : cases) {
        TPrefs prefs(false);
        tInventory bag;
        bag.SetName("BAG_INV", 0);
        tInventoryEntry e;
        e.hotX = e.hotY = c.hot;
        bag.AddInventory("key", e, false);
        bag.SaveGame(prefs, 0, 0);
        const str p = GS_FormatInventory(0, 0, "BAG_INV");
        EXPECT_EQ(prefs.GetInt(p + "cursor_x", 1, 0), c.saved) << c.hot;
        EXPECT_EQ(prefs.GetInt(p + "cursor_y", 1, 0), c.saved) << c.hot;
    }
}

}  // namespace
