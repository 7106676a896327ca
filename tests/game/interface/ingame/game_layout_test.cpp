// The demo's layouts of play, built headless from the assembled data folder as the program
// builds them: the game window with every part its interface needs, the pause screen and a
// scene's popup.

#include <gtest/gtest.h>

#include "common/log_capture.h"

#include <iterator>
#include <vector>
#include <string>

#include "core/platform/event.h"
#include "core/script/df_lua.h"
#include "game/interface/built_assets_fixture.h"
#include "game/interface/ingame/game_window.h"
#include "game/interface/ingame/intercept_window.h"
#include "game/interface/ingame/menu_party.h"
#include "game/interface/ingame/transition_window.h"
#include "game/interface/inventory/icon.h"
#include "game/interface/inventory/icon_strip.h"
#include "game/interface/sprites/atlas_image.h"
#include "game/interface/sprites/menu_sprite.h"
#include "game/interface/subgame/sub_game.h"
#include "game/interface/widgets/scrolled_window.h"
#include "game/interface/windows/df_window.h"
#include "game/script/df_log_lua.h"
#include "game/script/script_enums.h"
#include "game/startup/game_steps.h"
#include "game/script/window_autoreg.h"
#include "game/startup/script_functions.h"
#include "game/world/scene/choice_handler.h"
#include "game/world/state/gamestate.h"
#include "game/world/state/gamestate_lua.h"
#include "game/world/state/interface_settings.h"
#include "ui/screen/image.h"
#include "ui/widgets/button.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"

namespace {

class GameLayouts : public BuiltLayoutTest
{
protected:
    void SetUp() override
    {
        BuiltLayoutTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        // What the program's script state holds when a layout of play is read.
        dfLua lua(script->GetState());
        AddEnumsToLua(lua);
        AddInstanceToLua(gGamestate, script->GetState());
        BindPushModal(lua);
        BindLogToLua(lua);
        GameSteps().newModalWindow = []() -> TModalWindow* { return new dfModalWindow; };
        gGamestate.clear();
    }
    void TearDown() override
    {
        GameSteps() = TGameSteps();
        BuiltLayoutTest::TearDown();
    }
    // Reads a layout into a modal window of the game's kind, as DoModal does.
    TModalWindow* Open(const std::string& file)
    {
        Lua("PushModal('" + file + "'); ReadFile('" + file + "')");
        return wm->GetTopModalWindow();
    }
};

TEST_F(GameLayouts, TheGameWindowHoldsEveryPartOfItsInterface)
{
    TLogCapture log;
    Open("layouts/game.lua");
    const struct
    {
        const char* name;
        TClassId type;
        const char* within;  // a window it lies inside
    } parts[] = {
        {"game", TGame::ClassId(), nullptr},
        {"CHOICEBOX", TImage::ClassId(), "game"},
        {"SCROLLOUTER", TScrolledWindow::ClassId(), "CHOICEBOX"},
        {"slider", TSlider::ClassId(), "SCROLLOUTER"},
        {"SCROLLINNER", TWindow::ClassId(), "SCROLLOUTER"},
        {"button0", TButton::ClassId(), "SCROLLINNER"},
        {"button4", TButton::ClassId(), "SCROLLINNER"},
        // The garden offers six choices.
        {"button5", TButton::ClassId(), "SCROLLINNER"},
        {"DiaryButton", TLayeredWindow::ClassId(), "game"},
        {"image0", TImage::ClassId(), "DiaryButton"},
        {"return", TButton::ClassId(), "game"},
        {"INTERCEPTSPEC", tIntercept::ClassId(), "game"},
        {"HUDBG", TImage::ClassId(), "game"},
        {"BAG_INV_bg", TWindow::ClassId(), "game"},
        {"BAG_INV_left", TButton::ClassId(), "game"},
        {"BAG_INV_right", TButton::ClassId(), "game"},
        {"BAG_INV_strip", tIconStrip::ClassId(), "BAG_INV_bg"},
        {"BAG_MAGIC_bg", TWindow::ClassId(), "game"},
        {"BAG_MAGIC_left", TButton::ClassId(), "game"},
        {"BAG_MAGIC_right", TButton::ClassId(), "game"},
        {"BAG_MAGIC_strip", tIconStrip::ClassId(), "BAG_MAGIC_bg"},
        {"inv_desc", TText::ClassId(), nullptr},
        {"overhud", TOverhud::ClassId(), "game"},
        {"glitter", tMenuParty::ClassId(), "overbar"},
        {"paw", tMenuSprite::ClassId(), "overbar"},
        {"ivy_left", tAtlasImage::ClassId(), "overbar"},
        {"subgame", tSubGame::ClassId(), "game"},
    };
    for (const auto& part : parts) {
        TWindow* parent = part.within ? Find(part.within) : screen;
        ASSERT_NE(parent, nullptr) << part.within;
        TWindow* window = parent->GetChildWindow(part.name, unsigned(-1));
        ASSERT_NE(window, nullptr) << part.name << " in " << (part.within ? part.within : "the screen");
        EXPECT_TRUE(window->IsKindOf(part.type)) << part.name;
    }
    EXPECT_EQ(Find("bye"), nullptr) << "a talk's own farewell is among its choices: no goodbye button repeats it";
    for (int i = 0; i < 6; ++i) {
        TWindow* row = Find(("button" + std::to_string(i)).c_str());
        EXPECT_NE(GetCast<TText>(row->GetChildWindow("label", 1)), nullptr) << "the choice text of row " << i;
    }
    // A puzzle's window lies above everything, the over-the-bar layer above the rest of the
    // interface, the bar's ornaments just below it (a fade over the bar covers them); the
    // choices wait hidden for a question.
    const auto& children = Find("game")->GetChildren();
    ASSERT_GE(children.size(), 3u);
    EXPECT_EQ(Find("game")->GetChildWindow("subgame", 1), children.front());
    EXPECT_EQ(Find("game")->GetChildWindow("overhud", 1), *std::next(children.begin()));
    EXPECT_EQ(Find("game")->GetChildWindow("overbar", 1), *std::next(children.begin(), 2));
    EXPECT_FALSE(Find("CHOICEBOX")->GetFlags() & TWindow::kEnabled);
    EXPECT_EQ(log.Text().find("Lua error"), std::string::npos) << log.Text();
}

TEST_F(GameLayouts, TheBarCatchesClicksOnlyWhereItIsPainted)
{
    Open("layouts/game.lua");
    auto* bar = GetCast<tIntercept>(Find("INTERCEPTSPEC"));
    ASSERT_NE(bar, nullptr);
    const struct
    {
        TPoint at;  // in the bar's own space: its top 16 rows are clear beside the tab
        bool caught;
    } cases[] = {{{400, 60}, true}, {{10, 30}, true}, {{400, 4}, true}, {{10, 4}, false}, {{790, 10}, false}};
    for (const auto& c : cases)
        EXPECT_EQ(bar->TestMousePoint(c.at), c.caught) << c.at.x << "," << c.at.y;
}

TEST_F(GameLayouts, AnIconTakesUpItsOwnItemOfItsOwnBag)
{
    TLogCapture log;
    Open("layouts/game.lua");
    for (const char* name : {"BAG_INV_obj_2", "BAG_MAGIC_obj_1"}) {
        auto* icon = GetCast<tIcon>(Find(name));
        ASSERT_NE(icon, nullptr) << name;
        icon->OnMouseMove(TPoint(4, 4));
        icon->OnMouseUp(TPoint(4, 4));
        icon->OnMouseLeave();
    }
    EXPECT_NE(log.Text().find("tGamestate::UseInventory(BAG_INV, 2)"), std::string::npos) << log.Text();
    EXPECT_NE(log.Text().find("tGamestate::UseInventory(BAG_MAGIC, 1)"), std::string::npos) << log.Text();
}

TEST_F(GameLayouts, ThePauseScreenSlidesInAndEscapeResumes)
{
    TModalWindow* pause = Open("scripts/pause.lua");
    EXPECT_NE(GetCast<dfModalWindow>(pause), nullptr);
    EXPECT_NE(GetCast<tTransitionWindow>(pause->GetChildWindow("transition", 1)), nullptr);
    // A button's command waits in the script's queue for the interface coroutine.
    Lua("function Queued(button) for _, m in ipairs(gMessageQueue) do"
        " if m.name == 'LuaAction:' .. button then return true end end return false end");
    // The typed Escape that follows the press which opened the screen is not an answer.
    pause->OnChar(TEvent::kEscape);
    EXPECT_FALSE(LuaTrue("Queued('pause_resume')"));
    // The next press of Escape is.
    EXPECT_TRUE(pause->OnKeyDown(TEvent::kEscape, 0));
    EXPECT_TRUE(LuaTrue("Queued('pause_resume')"));
}

TEST_F(GameLayouts, APopupShowsItsTextsAsTheyStand)
{
    const struct
    {
        const char* table;
        const char* title;
        const char* body;
    } cases[] = {
        {"{ 'scripts/popup.lua', popupgfx = 'items/key.png', title = \"Pip's note\", body = 'x\"]]; os.exit()' }",
         "Pip's note", "x\"]]; os.exit()"},
        {"{ 'scripts/popup.lua' }", "", ""},
    };
    for (const auto& c : cases) {
        Lua(std::string("gDialogTable = ") + c.table);
        TModalWindow* popup = Open("scripts/popup.lua");
        auto* title = GetCast<TText>(popup->GetChildWindow("title", unsigned(-1)));
        auto* body = GetCast<TText>(popup->GetChildWindow("body", unsigned(-1)));
        ASSERT_NE(title, nullptr) << c.table;
        ASSERT_NE(body, nullptr) << c.table;
        EXPECT_EQ(std::string(title->GetText().c_str()), c.title) << c.table;
        EXPECT_EQ(std::string(body->GetText().c_str()), c.body) << c.table;
        EXPECT_NE(popup->GetChildWindow("transition", 1), nullptr) << c.table;
        wm->_PopModal();
    }
}

// The program's scripts hide the bar (its picture and the part that catches clicks) and the
// diary button of the game window, and show them again.
TEST_F(GameLayouts, ScriptsSwitchTheBarAndTheDiaryButton)
{
    InstallInGameSteps();
    ASSERT_TRUE(GameSteps().newModalWindow);
    std::unique_ptr<TModalWindow> modal(GameSteps().newModalWindow());
    EXPECT_NE(GetCast<dfModalWindow>(modal.get()), nullptr) << "the game's dialogs close by their transition";
    Open("layouts/game.lua");
    const struct
    {
        void (*set)(bool);
        bool on;
        bool bar, diary;
    } steps[] = {
        {&SetHUDEnable, false, false, true},
        {&SetDiaryEnable, false, false, false},
        {&SetHUDEnable, true, true, false},
        {&SetDiaryEnable, true, true, true},
    };
    for (const auto& step : steps) {
        step.set(step.on);
        EXPECT_EQ(Shown("HUDBG"), step.bar);
        EXPECT_EQ(Shown("INTERCEPTSPEC"), step.bar);
        EXPECT_EQ(Shown("DiaryButton"), step.diary);
    }
    SetInterfaceWindowHook(nullptr);
    GameSteps() = TGameSteps();
}

// Six answers: the box leaves the back button free, and the wheel over the
// answers or a click on the slider's rail brings the hidden ones into view.
TEST_F(GameLayouts, TheChoicesLeaveTheButtonsFreeAndScrollByWheelAndRail)
{
    Open("layouts/game.lua");
    tChoiceHandler choices;
    std::vector<str> six;
    for (int i = 0; i < 6; ++i)
        six.push_back(str::getFormatted("k%d|Answer %d", i, i));
    choices.CreateChoiceText(six);
    const auto onScreen = [this](const char* name) {
        TWindow* window = Find(name);
        TPoint from(0, 0), to(window->GetWindowWidth(), window->GetWindowHeight());
        window->ClientToScreen(&from);
        window->ClientToScreen(&to);
        return TRect(from.x, from.y, to.x, to.y);
    };
    const TRect box = onScreen("CHOICEBOX");
    const TRect back = onScreen("return");
    EXPECT_TRUE(back.right <= box.left || back.left >= box.right);
    TWindow* inner = Find("SCROLLINNER");
    const TRect row = onScreen("button1");
    const int x = (row.left + row.right) / 2, y = (row.top + row.bottom) / 2;
    const struct
    {
        int32_t wheel;
        int top;
    } turns[] = {{kVerticalWheelMinus, -36}, {kVerticalWheelMinus, -72}, {kVerticalWheelMinus, -72},
                 {kVerticalWheelPlus, -36}, {kVerticalWheelPlus, 0}};
    for (const auto& turn : turns) {
        Send(TEvent::kMouseExtended, x, y, turn.wheel);
        EXPECT_EQ(inner->GetRect().top, turn.top);
    }
    const TRect rail = onScreen("slider");
    Send(TEvent::kMouseDown, (rail.left + rail.right) / 2, rail.bottom - 2);
    Send(TEvent::kMouseUp, (rail.left + rail.right) / 2, rail.bottom - 2);
    EXPECT_EQ(inner->GetRect().top, -72) << "the rail's lower end shows the last answers";
    choices.DumpChoiceText();
}

}  // namespace
