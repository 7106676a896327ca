// The inventory strips of the game window: icons following the bag, the add animation, the
// arrows, the description under the mouse, clicks on icons, and the flying picture drawn
// above the whole screen.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/log_capture.h"
#include "game/interface/built_assets_fixture.h"
#include "game/interface/inventory/icon.h"
#include "game/interface/inventory/icon_strip.h"
#include "game/interface/inventory/inv_add_window.h"
#include "game/interface/inventory/item_text.h"
#include "game/interface/inventory/strip_link.h"
#include "game/interface/windows/window_helpers.h"
#include "game/world/common/world_scene.h"
#include "game/world/state/gamestate.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

namespace {

// The scene link as the game wires it: additions and strip places go to the game window.
class StripScene : public tWorldScene
{
public:
    explicit StripScene(TWindow** game) : mGame(game) { SetWorldScene(this); }
    ~StripScene() override { SetWorldScene(nullptr); }
    bool IsFollowClicksMode() const override { return true; }
    str LocaliseString(const str& text) const override { return text; }
    str GlobalString(const str& key) const override { return key; }
    void DoInvAdd(const str& key, int bag) override { StartInvAdd(*mGame, key, bag); }
    void AddCursorDefIfMissing(const str&, const tCursorDef&) override {}
    bool GetStripCell(const str& strip, int* w, int* h) const override { return ::GetStripCell(*mGame, strip, w, h); }
    void StripToScreen(const str& strip, int x, int y, float* sx, float* sy) const override
    {
        ::StripToScreen(*mGame, strip, x, y, sx, sy);
    }

private:
    TWindow** mGame;
};

const char* const kGame =
    "dfWindow{ name = 'game', w = 640, h = 480,"
    "  Window{ name = 'BAG_INV_bg', x = 100, y = 400, w = 144, h = 48,"
    "    tIconStrip{ name = 'BAG_INV_strip', w = 288, h = 48, maxicons = 6, iconbase = 'BAG_INV_obj',"
    "      igap_x = 48, bag = BAG_INV or 0, visibleicons = 3, halo = 'interface/halo',"
    "      icongen = function(bag, i) return function() gClicked = bag .. ':' .. i end end } },"
    "  Window{ name = 'BAG_INV_left', x = 60, y = 400, w = 30, h = 48 },"
    "  Window{ name = 'BAG_INV_right', x = 250, y = 400, w = 30, h = 48 },"
    "  tInvAddWindow{ name = 'add' } }";

bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 3)
            return false;
    return true;
}

tInventoryEntry Item(const char* anim, const char* text = "", int parameter = 0)
{
    tInventoryEntry e;
    e.anim = anim;
    e.text = text;
    e.parameter = parameter;
    return e;
}

class InventoryStripTest : public BuiltLayoutTest
{
protected:
    void SetUp() override
    {
        BuiltLayoutTest::SetUp();
        ResetBag();
        Layout(kGame);
        game = Find("game");
        strip = GetCast<tIconStrip>(Find("BAG_INV_strip"));
        ASSERT_NE(strip, nullptr);
        ASSERT_NE(GetCast<tInvAddWindow>(Find("add")), nullptr);
        Refresh();
    }
    void TearDown() override
    {
        ResetBag();
        SetGameGrabsClicksQuery(nullptr);
        BuiltLayoutTest::TearDown();
    }
    static void ResetBag()
    {
        gGamestate.clear();
        bag().JumpInventoryToTarget();
    }
    static tInventory& bag() { return *gGamestate.GetBag(BAG_INV); }
    // What the game window does each frame for the bag.
    str Refresh()
    {
        UpdateInvArrows(game, BAG_INV);
        return UpdateInventoryWindow(game, BAG_INV);
    }
    tIcon* Icon(int i) { return GetCast<tIcon>(Find(("BAG_INV_obj_" + std::to_string(i)).c_str())); }
    TPoint IconCentre(int i)
    {
        TRect r;
        Icon(i)->GetWindowRect(&r);
        return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    bool Enabled(const char* name) { return (Find(name)->GetFlags() & TWindow::kEnabled) != 0; }

    TWindow* game = nullptr;
    tIconStrip* strip = nullptr;
    StripScene scene{&game};
};

TEST_F(InventoryStripTest, AddedItemScrollsIntoViewAndFliesIntoItsSlot)
{
    for (const char* key : {"a", "b", "c"})
        bag().AddInventory(key, Item("items/key"), false);
    bag().AddInventory("d", Item("items/lantern"), true);
    EXPECT_EQ(strip->GetAddState(), tIconStrip::kBlinkBefore);
    EXPECT_EQ(std::string(strip->GetAddingItem().c_str()), "d");
    ASSERT_NE(strip->GetFlyingPicture(), nullptr);
    ASSERT_NE(strip->GetHalo(), nullptr);

    TRect bg;
    Find("BAG_INV_bg")->GetWindowRect(&bg);
    // Item 3 with the strip scrolled by one icon: the third visible slot.
    const TVec2 slot(float(bg.left + 2 * 48 + 24), float(bg.top + 24));
    struct Step
    {
        int tick;
        int state;
        bool halo;
    };
    const Step steps[] = {
        {10, tIconStrip::kBlinkBefore, false}, {11, tIconStrip::kBlinkBefore, true},
        {22, tIconStrip::kBlinkBefore, false}, {65, tIconStrip::kBlinkBefore, true},
        {66, tIconStrip::kFly, false},         {86, tIconStrip::kFly, false},
        {106, tIconStrip::kBlinkAfter, false}, {117, tIconStrip::kBlinkAfter, true},
        {171, tIconStrip::kBlinkAfter, true},
    };
    int tick = 0;
    for (const Step& s : steps) {
        for (; tick < s.tick; ++tick) {
            Refresh();
            strip->OnTaskAnimate();
        }
        EXPECT_EQ(strip->GetAddState(), s.state) << s.tick;
        EXPECT_EQ(strip->GetHalo()->IsVisible(), s.halo) << s.tick;
        EXPECT_EQ(Icon(3)->GetTexture(), nullptr) << "the flying picture stands for the icon";
        if (s.tick == 86) {
            const TVec3& at = strip->GetFlyingPicture()->mSpec.matrix[2];
            EXPECT_FLOAT_EQ(at.x, (400 + slot.x) / 2);
            EXPECT_FLOAT_EQ(at.y, (300 + slot.y) / 2);
        }
    }
    const TDrawSpec& landed = strip->GetFlyingPicture()->mSpec;
    EXPECT_FLOAT_EQ(landed.matrix[2].x, slot.x);
    EXPECT_FLOAT_EQ(landed.matrix[2].y, slot.y);
    EXPECT_FLOAT_EQ(landed.matrix[0].x, 32.0f / 48.0f);
    EXPECT_FLOAT_EQ(strip->GetHalo()->mSpec.matrix[2].x, slot.x);
    // The bag finds the same place through the game window.
    float x = 0, y = 0;
    bag().GetInventoryLocation("d", &x, &y);
    EXPECT_FLOAT_EQ(x, slot.x);
    EXPECT_FLOAT_EQ(y, slot.y);
    EXPECT_EQ(strip->GetRect().left, -48);

    TLogCapture log;
    strip->OnTaskAnimate();
    Refresh();
    EXPECT_EQ(strip->GetAddState(), tIconStrip::kIdle);
    EXPECT_EQ(strip->GetFlyingPicture(), nullptr);
    EXPECT_EQ(strip->GetHalo(), nullptr);
    EXPECT_TRUE(strip->GetAddingItem().empty());
    EXPECT_NE(Icon(3)->GetTexture(), nullptr);
    EXPECT_NE(log.Text().find("COMPLETED ZOOM SLIDE"), std::string::npos);
}

TEST_F(InventoryStripTest, ItemTakenAwayInFlightEndsTheAnimation)
{
    bag().AddInventory("a", Item("items/key"), true);
    for (int tick = 0; tick < 70; ++tick)
        strip->OnTaskAnimate();
    ASSERT_EQ(strip->GetAddState(), tIconStrip::kFly);
    bag().RemoveInventory("a");
    strip->OnTaskAnimate();
    EXPECT_EQ(strip->GetAddState(), tIconStrip::kIdle);
    EXPECT_EQ(strip->GetFlyingPicture(), nullptr);
}

TEST_F(InventoryStripTest, ArrowsAreOnWhileTheStripCanMoveThatWay)
{
    struct Case
    {
        int items;
        int move;
        bool bg, left, right;
    };
    const Case cases[] = {
        {0, 0, false, false, false}, {2, 0, true, false, false}, {3, 1, true, false, false},
        {5, 0, true, false, true},   {5, 1, true, true, true},   {5, 10, true, true, false},
    };
    for (const Case& c : cases) {
        ResetBag();
        for (int i = 0; i < c.items; ++i)
            bag().AddInventory(str::getFormatted("item%d", i), Item("items/key"), false);
        Refresh();
        bag().MoveInventory(-10);  // adding scrolled to the last item
        bag().MoveInventory(c.move);
        Refresh();
        EXPECT_EQ(Enabled("BAG_INV_bg"), c.bg) << c.items << " items, moved " << c.move;
        EXPECT_EQ(Enabled("BAG_INV_left"), c.left) << c.items << " items, moved " << c.move;
        EXPECT_EQ(Enabled("BAG_INV_right"), c.right) << c.items << " items, moved " << c.move;
    }
}

TEST_F(InventoryStripTest, IconsShowTheBagAndTheDescriptionUnderTheMouse)
{
    bag().AddInventory("coin", Item("items/key", "%d coins, 50% off %s", 7), false);
    bag().AddInventory("lamp", Item("items/lantern", "A lamp"), false);
    bag().AddInventory("secret", Item("items/key", "hidden"), false);
    bag().ShowInventory("secret", false);
    EXPECT_TRUE(Refresh().empty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Icon(i)->GetFlags() & TWindow::kEnabled) << i;
        EXPECT_EQ(Icon(i)->GetWindowWidth(), 48);
    }
    EXPECT_NE(Icon(0)->GetTexture(), nullptr);
    EXPECT_EQ(Icon(2)->GetTexture(), nullptr) << "a hidden item leaves its icon blank";
    for (int i = 3; i < 6; ++i)
        EXPECT_FALSE(Icon(i)->GetFlags() & TWindow::kEnabled) << i;

    const TPoint over = IconCentre(0);
    Send(TEvent::kMouseMove, over.x, over.y);
    EXPECT_EQ(std::string(Refresh().c_str()), "7 coins, 50% off %s");
    Send(TEvent::kMouseMove, 5, 5);
    EXPECT_TRUE(Refresh().empty());

    gGamestate.UseInventory(BAG_INV, 1);
    EXPECT_EQ(std::string(Refresh().c_str()), "A lamp");
    EXPECT_EQ(Icon(1)->GetTexture(), nullptr) << "the item in use travels with the cursor";
}

TEST_F(InventoryStripTest, ReleaseOverAnIconRunsItsClickFunction)
{
    bag().AddInventory("a", Item("items/key"), false);
    bag().AddInventory("b", Item("items/key"), false);
    Refresh();
    const TPoint second = IconCentre(1);
    Send(TEvent::kMouseMove, second.x, second.y);
    Send(TEvent::kMouseDown, second.x, second.y);
    Send(TEvent::kMouseUp, second.x, second.y);
    EXPECT_TRUE(LuaTrue("gClicked == '0:1'"));

    Lua("gClicked = nil");
    Send(TEvent::kMouseMove, second.x, second.y);
    Send(TEvent::kMouseDown, second.x, second.y);
    Send(TEvent::kMouseMove, 5, 5);
    Send(TEvent::kMouseUp, 5, 5);
    EXPECT_TRUE(LuaTrue("gClicked == nil")) << "released away from the icon";

    SetGameGrabsClicksQuery([] { return true; });
    TLogCapture log;
    Send(TEvent::kMouseMove, second.x, second.y);
    EXPECT_FALSE(Icon(1)->OnMouseDown(TPoint(1, 1)));
    EXPECT_NE(log.Text().find("Game grabs clicks from icon"), std::string::npos);
}

TEST_F(InventoryStripTest, StripsWithoutClickFunctionsSayWhy)
{
    struct Case
    {
        const char* icongen;
        const char* logged;
    };
    const Case cases[] = {
        {"", "tIcon with NO FUNCTION!"},
        {"icongen = function(bag, i) error('no icons today') end,", "GLOBAL LUA ERROR:tIconStrip::init"},
        {"icongen = function(bag, i) return function() error('broken') end end,", "GLOBAL LUA ERROR:tIcon::OnMouseUp"},
    };
    for (const Case& c : cases) {
        TLogCapture log;
        Layout(std::string("tIconStrip{ name = 'plain', maxicons = 1, iconbase = 'plain', igap_x = 20, h = 20, ") +
               c.icongen + " }");
        auto* icon = GetCast<tIcon>(Find("plain_0"));
        ASSERT_NE(icon, nullptr);
        icon->SetWindowSize(20, 20);
        icon->OnMouseMove(TPoint(1, 1));
        EXPECT_TRUE(icon->OnMouseUp(TPoint(1, 1)));
        EXPECT_NE(log.Text().find(c.logged), std::string::npos) << c.logged;
        icon->OnMouseLeave();
        wm->_PopModal();
    }
}

TEST(ItemTextTest, OnlyTheNumberIsPutIn)
{
    struct Case
    {
        const char* text;
        int parameter;
        const char* shown;
    };
    const Case cases[] = {
        {"A key", 3206, "A key"},       {"%d apples", 3, "3 apples"},    {"%03d%%", 7, "007%"},
        {"%d and %d", -2, "-2 and -2"}, {"%s %x %n %", 5, "%s %x %n %"}, {"100%", 1, "100%"},
        {"%1234d", 1, "%1234d"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(FormatItemText(c.text, c.parameter).c_str()), c.shown) << c.text;
}

using FlyingPictureTest = DrawnGameTest;

TEST_F(FlyingPictureTest, DrawsAboveTheWholeScreenOutsideTheStrip)
{
    gGamestate.clear();
    Layout("Window{ name = 'game', w = 800, h = 600, Window{ x = 100, y = 540, w = 144, h = 48,"
           "  tIconStrip{ name = 'BAG_INV_strip', w = 288, h = 48, maxicons = 3, iconbase = 'BAG_INV_obj',"
           "    igap_x = 48, visibleicons = 3 } } }");
    gGamestate.GetBag(BAG_INV)->AddInventory("key", Item("items/key"), false);
    StartInvAdd(Find("game"), "key", BAG_INV);
    ASSERT_NE(GetCast<tIconStrip>(Find("BAG_INV_strip"))->GetFlyingPicture(), nullptr);
    Frame();
    // The key's shaft, centred on the screen's middle, far from the strip's own rectangle.
    EXPECT_TRUE(Near(Pixel(410, 301), 0xFFC8A040u)) << std::hex << Pixel(410, 301);
    EXPECT_EQ(Pixel(400, 250), 0xFFFFFFFFu);
    gGamestate.clear();
}

}  // namespace
