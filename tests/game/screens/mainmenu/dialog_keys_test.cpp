// The demo's dialogs and pages under the keyboard: Return presses each one's default button and
// Escape its way back; and the other games' page says where a link leads when it is pressed,
// also when no browser starts.

#include <string>

#include "core/platform/event.h"
#include "game/screens/menu_fixture.h"
#include "game/script/window_autoreg.h"
#include "online/xsell/xsell_window.h"
#include "ui/widgets/button.h"
#include "ui/window/modal_window.h"

namespace {

class DialogKeysTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        ASSERT_TRUE(RegisterXSellWindowType(wm.get()));
        settings->CreateNewUser("Ann");
        // What a key pressed: the name a closing button handed back, or the button whose
        // command waits for the interface coroutine.
        Lua("function Pressed() local name = gReturnValue or ''"
            "  for _, m in ipairs(gMessageQueue) do"
            "    local _, _, button = string.find(m.name or '', '^LuaAction:(.*)$')"
            "    if button and name == '' then name = button end end"
            "  gReturnValue = nil; gMessageQueue = {}; return name end");
    }
    void TearDown() override
    {
        TXSellWindow::SetLinkOpener(nullptr);
        MenuTest::TearDown();
    }
    std::string Press(char key)
    {
        wm->GetTopModalWindow()->OnChar(key);
        return Run("return Pressed()");
    }
};

TEST_F(DialogKeysTest, ReturnPressesTheDefaultButtonAndEscapeTheWayBack)
{
    const struct
    {
        const char* file;
        const char* before;  // Lua run first: what the caller sets
        const char* enter;
        const char* escape;  // nullptr: Escape is not a button's here
    } cases[] = {
        {"layouts/options.lua", "", "options_done", "options_done"},
        {"layouts/awards.lua", "", "close", "close"},
        {"layouts/xsell.lua", "", "xsell_back", "xsell_back"},
        {"layouts/choosescene.lua", "", "scene_jump", "scene_back"},
        {"layouts/chooseplayer.lua", "", "player_ok", "player_back"},
        // No name typed yet: no OK, so Return leaves the field to it.
        {"layouts/entername.lua", "gNameGiven = nil", "", "cancel"},
        {"layouts/entername.lua", "gNameGiven = 'Ann'", "ok", "cancel"},
        {"layouts/deleteplayer.lua", "", "delete_no", "delete_no"},
        {"layouts/quitdialog.lua", "", "quit_no", "quit_no"},
        {"layouts/credits.lua", "", "back", "back"},
        {"scripts/pause.lua", "", "pause_resume", nullptr},
        {"scripts/popup.lua", "gDialogTable = { 'scripts/popup.lua' }", "popup_ok", "popup_ok"},
    };
    for (const auto& c : cases) {
        Run(c.before);
        ReadLayout(c.file);
        Run("return Pressed()");
        EXPECT_EQ(Press(char(TEvent::kEnter)), c.enter) << c.file << " " << c.before;
        if (c.escape) {
            EXPECT_EQ(Press(char(TEvent::kEscape)), c.escape) << c.file << " " << c.before;
        }
        CloseTop();
        Run("gNameGiven = nil");
    }
}

TEST_F(DialogKeysTest, ALinkSaysWhereItLeadsAndWhetherABrowserStarted)
{
    const std::string sheet =
        "<Workbook><Row><Cell><Data>xsell_opening</Data></Cell><Cell><Data>Opening %1%</Data></Cell></Row>"
        "<Row><Cell><Data>xsell_nobrowser</Data></Cell><Cell><Data>No browser here: %1%</Data></Cell></Row>"
        "</Workbook>";
    ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    const struct
    {
        bool starts;
        const char* button;
        const char* said;
    } cases[] = {
        {false, "xsellbutton1", "No browser here: https://example.org/games/pips-night-out"},
        {true, "xsellbutton2", "Opening https://example.org/games/lantern-keeper"},
        {false, "gamesite", "No browser here: https://example.org/games"},
    };
    StartInterface();
    for (const auto& c : cases) {
        std::string opened;
        TXSellWindow::SetLinkOpener([&](const char* url) {
            opened = url;
            return c.starts;
        });
        ReadLayout("layouts/xsell.lua");
        EXPECT_FALSE(Shown("linknote"));
        auto* button = GetCast<TButton>(Find(c.button));
        ASSERT_NE(button, nullptr) << c.button;
        button->DoCommand();
        EXPECT_FALSE(opened.empty()) << c.button;
        EXPECT_TRUE(Shown("linknote")) << c.button;
        EXPECT_FALSE(Shown("centertext2")) << c.button;
        EXPECT_EQ(TextOf("linknote"), c.said);
        CloseTop();
    }
}

}  // namespace
