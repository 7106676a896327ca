// The game's window classes: made by type name from layouts, placed, outlined, hit-tested
// through masks, claiming the mouse, enabled and disabled, closing through a transition, and
// taking their Lua globals with them.

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "common/log_capture.h"
#include "core/script/message.h"
#include "game/interface/layout_fixture.h"
#include "game/interface/windows/df_button.h"
#include "game/interface/windows/df_text.h"
#include "game/interface/windows/df_window.h"
#include "game/interface/windows/window_globals.h"
#include "game/interface/windows/window_helpers.h"
#include "render/text/text_graphic.h"
#include "ui/window/message_types.h"

namespace {

using GameWindowsTest = GameLayoutTest;

TEST_F(GameWindowsTest, LayoutsMakeTheGameClassesByTypeName)
{
    Layout("dfWindow{ name = 'w', w = 100, h = 100,"
           "  dfText{ name = 'd', w = 10, h = 10 }, dfTextX{ name = 'x', w = 10, h = 10 },"
           "  Text{ name = 'o', w = 10, h = 10 }, tDFButton{ name = 'b', w = 10, h = 10 } }");
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"w", "dfWindow"}, {"d", "dfText"}, {"x", "dfTextX"}, {"o", "OutlineText"}, {"b", "tDFButton"},
    };
    for (const auto& [name, type] : cases) {
        TWindow* window = Find(name);
        ASSERT_NE(window, nullptr) << name;
        EXPECT_STREQ(window->GetTypeName(), type);
    }
    EXPECT_NE(GetCast<TText>(Find("o")), nullptr);
    EXPECT_NE(GetCast<TButton>(Find("b")), nullptr);
}

TEST_F(GameWindowsTest, BoxFlagsPlaceTheTextInItsParent)
{
    struct Case
    {
        int flags;
        TPoint at;
    };
    const Case cases[] = {
        {0, TPoint(0, 0)},   {1, TPoint(75, 0)},    {2, TPoint(150, 0)}, {3, TPoint(0, 0)},
        {5, TPoint(75, 40)}, {10, TPoint(150, 80)}, {12, TPoint(0, 0)},  {6, TPoint(150, 40)},
    };
    for (const Case& c : cases) {
        Layout("Window{ name = 'p', w = 200, h = 100, dfText{ name = 't', w = 50, h = 20, box_flags = " +
               std::to_string(c.flags) + " } }");
        TWindow* text = Find("t");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(TPoint(text->GetRect().left, text->GetRect().top), c.at) << c.flags;
        wm->_PopModal();
    }
}

TEST_F(GameWindowsTest, OutlineTextPutsItsOutlineBeforeTheText)
{
    struct Case
    {
        const char* font;
        const char* shown;
        float outline;  // as the layout reads it
    };
    const Case cases[] = {
        {"{ '__DEFAULT', 18, outline_color = Color(255, 16, 0), outline_size = 3.7 }",
         "<outline color=\"ff1000\" size=\"3\"\\>Hello", 3},
        {"{ '__DEFAULT', 18, outline_color = Color(255, 16, 0), outline_size = 0 }", "Hello", 0},
        {"{ '__DEFAULT', 18 }", "Hello", 0},
    };
    for (const Case& c : cases) {
        Layout(std::string("Text{ name = 'o', w = 100, h = 20, textangle = 10, font = ") + c.font + " }");
        auto* text = GetCast<OutlineText>(Find("o"));
        ASSERT_NE(text, nullptr);
        text->SetText("Hello");
        EXPECT_EQ(std::string(text->GetText().c_str()), c.shown);
        const auto& lines = text->GetGraphic()->GetLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front()->runs.back().outlineSize, c.outline) << c.shown;
        wm->_PopModal();
    }
}

TEST_F(GameWindowsTest, TextThatDoesNotScrollLogsTheRequest)
{
    Layout("dfTextX{ name = 'x', w = 100, h = 20, label = '#Fixed' }");
    TLogCapture log;
    Find("x")->SetScroll(0.5f, 1.0f);
    EXPECT_NE(log.Text().find("dfTextX::SetScroll(0.500000, 1.000000)"), std::string::npos);
}

TEST_F(GameWindowsTest, MaskedButtonTakesPressesOnlyOnRedPixels)
{
    Layout("tDFButton{ name = 'b', w = 20, h = 20 }");
    auto* button = GetCast<tDFButton>(Find("b"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->TestMousePoint(TPoint(19, 19)));  // no mask: anywhere
    // 3 × 2 pixels in rows of 4.
    const std::vector<TColor32> pixels = {
        TColor32(0, 255, 255, 255), TColor32(1, 0, 0, 0),   TColor32(255, 0, 0, 0), TColor32(255, 0, 0, 0),
        TColor32(200, 0, 0, 0),     TColor32(0, 0, 0, 255), TColor32(9, 9, 9, 9),   TColor32(255, 0, 0, 0),
    };
    button->SetHitMask(pixels.data(), 4, 3, 2);
    struct Case
    {
        TPoint point;
        bool hit;
    };
    const Case cases[] = {
        {TPoint(0, 0), false}, {TPoint(1, 0), true},  {TPoint(2, 0), true},   {TPoint(0, 1), true},
        {TPoint(1, 1), false}, {TPoint(3, 0), false}, {TPoint(-1, 0), false}, {TPoint(0, 2), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(button->TestMousePoint(c.point), c.hit) << c.point.x << "," << c.point.y;
        if (!c.hit) {
            EXPECT_FALSE(button->OnMouseDown(c.point));
        }
    }
}

TEST_F(GameWindowsTest, MissingMaskIsLoggedAndTheButtonTakesPressesAnywhere)
{
    TLogCapture log;
    Layout("tDFButton{ name = 'b', w = 20, h = 20, mask = 'images/no_such_mask' }");
    auto* button = GetCast<tDFButton>(Find("b"));
    ASSERT_NE(button, nullptr);
    EXPECT_NE(log.Text().find("Failed to load intercept mask images/no_such_mask"), std::string::npos);
    EXPECT_TRUE(button->TestMousePoint(TPoint(3, 3)));
    EXPECT_EQ(button->GetCursorName(), str("cursor"));
}

TEST_F(GameWindowsTest, MouseWindowFollowsClaimsAndNeverOutlivesItsWindow)
{
    Layout("dfWindow{ name = 'a', w = 10, h = 10 }, dfWindow{ name = 'b', y = 20, w = 10, h = 10 },"
           "tDFButton{ name = 'c', y = 40, w = 10, h = 10, cursor = 'cursor_use' }");
    TWindow* a = Find("a");
    TWindow* b = Find("b");
    auto* c = GetCast<tDFButton>(Find("c"));
    std::vector<std::string> cursors;
    ButtonCursorActivator() = [&](const str& name) { cursors.push_back(name.c_str()); };

    a->OnMouseMove(TPoint(1, 1));
    EXPECT_EQ(GetMouseWindow(), a);
    b->OnMouseLeave();  // b holds nothing: a keeps the claim
    EXPECT_EQ(GetMouseWindow(), a);
    a->OnMouseLeave();
    EXPECT_EQ(GetMouseWindow(), nullptr);

    c->StateUpdate(TButton::kOver, TButton::kAway);
    EXPECT_EQ(GetMouseWindow(), c);
    c->StateUpdate(TButton::kOver, TButton::kOver);  // already over: no second cursor
    c->StateUpdate(TButton::kAway, TButton::kOver);
    EXPECT_EQ(GetMouseWindow(), nullptr);
    EXPECT_EQ(cursors, std::vector<std::string>{"cursor_use"});

    b->OnMouseMove(TPoint(1, 1));
    delete b;
    EXPECT_EQ(GetMouseWindow(), nullptr);
    ButtonCursorActivator() = nullptr;
}

TEST_F(GameWindowsTest, EnablingAndDisablingSetTheFlagAndRedraw)
{
    Layout("dfWindow{ name = 'w', w = 10, h = 10 }");
    TWindow* w = Find("w");
    struct Case
    {
        void (*change)(TWindow*);
        bool enabled;
    };
    const Case cases[] = {
        {DisableWindow, false},
        {EnableWindow, true},
        {[](TWindow* x) { SetWindowEnable(x, false); }, false},
        {[](TWindow* x) { SetWindowEnable(x, true); }, true},
    };
    for (const Case& c : cases) {
        now += 1000;
        wm->DrawStack();
        ASSERT_FALSE(wm->IsScreenInvalid());
        c.change(w);
        EXPECT_EQ((w->GetFlags() & TWindow::kEnabled) != 0, c.enabled);
        EXPECT_EQ(w->IsVisible(), c.enabled);
        EXPECT_TRUE(wm->IsScreenInvalid());
    }
    EnableWindow(nullptr);
    DisableWindow(nullptr);
    SetWindowEnable(nullptr, true);
}

TEST(GameWindowHelpers, PointsAndVectorsConvert)
{
    struct Case
    {
        tVector2<float> vector;
        TPoint point;
    };
    const Case cases[] = {{{2.9f, -2.9f}, TPoint(2, -2)},
                          {{-0.5f, 0.5f}, TPoint(0, 0)},
                          {{7.0f, 3.0f}, TPoint(7, 3)},
                          {{std::numeric_limits<float>::quiet_NaN(), 3e9f}, TPoint(0, INT_MAX)},
                          {{-1e30f, -3e9f}, TPoint(INT_MIN, INT_MIN)}};
    for (const Case& c : cases)
        EXPECT_EQ(TPointFromVector2(c.vector), c.point);
    EXPECT_EQ(Vector2FromTPoint(TPoint(-4, 9)), tVector2<float>(-4.0f, 9.0f));
    const TVec2 v = TVecFromVector(tVector2<float>(1.5f, -2.25f));
    EXPECT_EQ(v.x, 1.5f);
    EXPECT_EQ(v.y, -2.25f);
}

class TRecordingTransition : public TWindow, public tTransitionControl
{
public:
    TRecordingTransition() { SetName("transition"); }
    void SetTransitionMode(int mode) override { modes.push_back(mode); }
    std::vector<int> modes;
};

TEST_F(GameWindowsTest, ModalWindowClosesThroughItsTransitionOrAtOnce)
{
    struct Case
    {
        const char* message;
        bool transition;
        std::vector<int> modes;
        bool closed;
    };
    const Case cases[] = {
        {"startclose", true, {2}, false},
        {"quickclose", true, {4}, false},
        {"startclose", false, {}, true},
        {"quickclose", false, {}, false},
    };
    for (const Case& c : cases) {
        auto* modal = new dfModalWindow;
        modal->SetWindowSize(100, 100);
        TRecordingTransition* transition = nullptr;
        if (c.transition) {
            transition = new TRecordingTransition;
            modal->AdoptChild(transition, true);
        }
        wm->PushModal(modal);
        TLogCapture log;
        modal->SendWindowMessage(new TMessage(kGeneric, c.message, nullptr));
        EXPECT_EQ(wm->GetTopModalWindow() != modal, c.closed) << c.message;
        EXPECT_EQ(log.Text().find("No transition window! Just closing!") != std::string::npos, c.closed);
        if (transition) {
            EXPECT_EQ(transition->modes, c.modes);
        }
        if (!c.closed)
            wm->_PopModal();
    }
}

int ReportOwner(lua_State* L)
{
    lua_pushstring(L, tWindowGlobals::Owner(L)->GetName().c_str());
    return 1;
}

class TBindingWindow : public dfWindow
{
public:
    explicit TBindingWindow(const char* name)
    {
        SetName(name);
        mGlobals.Bind("WhoAmI", &ReportOwner);
        mGlobals.Bind("Mine", &ReportOwner);
    }
};

TEST_F(GameWindowsTest, GlobalsBoundToAWindowGoWithItUnlessTakenOver)
{
    auto* first = new TBindingWindow("first");
    screen->AdoptChild(first, true);
    EXPECT_TRUE(LuaTrue("WhoAmI() == 'first'"));
    auto* second = new TBindingWindow("second");
    screen->AdoptChild(second, true);
    Lua("Other = WhoAmI");  // a global the window never set stays
    delete first;
    EXPECT_TRUE(LuaTrue("WhoAmI() == 'second' and Mine() == 'second'"));
    delete second;
    EXPECT_TRUE(LuaTrue("WhoAmI == nil and Mine == nil"));
    // A copy the script kept finds its window gone: it says so and does nothing.
    TLogCapture log;
    EXPECT_TRUE(LuaTrue("Other() == nil"));
    EXPECT_NE(log.Text().find("WhoAmI: its window has closed"), std::string::npos) << log.Text();
}

}  // namespace
