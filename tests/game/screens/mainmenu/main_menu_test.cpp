// The main menu: made from the demo layout, its entries shown by the player's state, the
// greeting, the cross-sell entry, the music and the visit reported, its global gone with it.

#include <string>
#include <vector>

#include "game/screens/mainmenu/main_menu.h"
#include "game/screens/menu_fixture.h"
#include "game/script/window_autoreg.h"
#include "sound/manager/sound.h"
#include "ui/widgets/text.h"

namespace {

class MainMenuTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
    }
    TMainMenu* Menu() { return GetCast<TMainMenu>(Find("menu")); }
    std::string Welcome() { return GetCast<TText>(Find("welcome"))->GetText().c_str(); }
    // Every entry the menu rules on.
    TMainMenu* BuildMenu()
    {
        Layout(std::string("TMainMenu{ name = 'menu', w = 800, h = 600, Text{ name = 'welcome', w = 300, h = 20 },") +
               " Button{ name = 'changeplayer', w = 10, h = 10 }, Button{ name = 'load_game', w = 10, h = 10 },"
               " Button{ name = 'resume_game', w = 10, h = 10 }, Button{ name = 'moregames', w = 10, h = 10 } }");
        return Menu();
    }
    void SaveAGame()
    {
        gGamestate.SetScene("garden", true);
        ASSERT_TRUE(lf_SaveGame());
    }
};

TEST_F(MainMenuTest, DemoLayoutIsTheMainMenu)
{
    ReadLayout("layouts/mainmenu.lua");
    TMainMenu* menu = GetCast<TMainMenu>(Find("mainmenu"));
    ASSERT_NE(menu, nullptr);
    for (const char* name :
         {"welcome", "changeplayer", "load_game", "moregames", "menu_play", "menu_options", "choosescene", "menu_quit"})
        EXPECT_NE(Find(name), nullptr) << name;
    // No player yet: nothing of a player's shows; the demo has a cross-sell catalogue.
    EXPECT_FALSE(Shown("welcome"));
    EXPECT_FALSE(Shown("changeplayer"));
    EXPECT_FALSE(Shown("load_game"));
    EXPECT_TRUE(Shown("moregames"));
    EXPECT_TRUE(Shown("menu_play"));
    // The scene choice is a cheat.
    EXPECT_FALSE(Shown("choosescene"));
    CloseTop();
    TConfig::SetConfig("cheatmode", "1");
    ReadLayout("layouts/mainmenu.lua");
    EXPECT_TRUE(Shown("choosescene"));
}

TEST_F(MainMenuTest, EntriesFollowProfilesAndTheSavedGame)
{
    struct Case
    {
        int profiles;
        bool saved;
        bool welcome, changeplayer, loadGame, resumeGame;
    };
    const Case cases[] = {
        {0, false, false, false, false, false},
        {1, false, true, true, false, true},
        {2, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profiles);
        MakeSettings();
        for (int i = 0; i < c.profiles; ++i)
            settings->CreateNewUser(str::getFormatted("player%d", i));
        if (c.saved)
            SaveAGame();
        ASSERT_NE(BuildMenu(), nullptr);
        EXPECT_EQ(Shown("welcome"), c.welcome);
        EXPECT_EQ(Shown("changeplayer"), c.changeplayer);
        EXPECT_EQ(Shown("load_game"), c.loadGame);
        EXPECT_EQ(Shown("resume_game"), c.resumeGame);
        CloseTop();
    }
}

TEST_F(MainMenuTest, GreetsTheCurrentPlayerAndFollowsAChangeFromTheScript)
{
    settings->CreateNewUser("Ann");
    ASSERT_NE(BuildMenu(), nullptr);
    EXPECT_EQ(Welcome(), "Welcome, Ann!");
    EXPECT_EQ(Run("CreateNewUser('Bo'); SetWelcomeName()"), "nil");
    EXPECT_EQ(Welcome(), "Welcome, Bo!");
    // A saved game of the new player shows "load_game" at the next call.
    EXPECT_FALSE(Shown("load_game"));
    SaveAGame();
    EXPECT_EQ(Run("SetWelcomeName()"), "nil");
    EXPECT_TRUE(Shown("load_game"));
}

TEST_F(MainMenuTest, GreetsAPlayerByTheNameAsTyped)
{
    struct Case
    {
        const char* name;
        const char* shown;  // the greeting's markup
    };
    const Case cases[] = {
        {"Ann<br>Bo", "Welcome, Ann\\<br>Bo!"},
        {"%windowtitle%", "Welcome, %windowtitle%!"},
        {"%s%n%x", "Welcome, %s%n%x!"},
    };
    for (const Case& c : cases) {
        MakeSettings();
        settings->CreateNewUser(c.name);
        ASSERT_NE(BuildMenu(), nullptr);
        EXPECT_EQ(Welcome(), c.shown) << c.name;
        EXPECT_EQ(GetCast<TText>(Find("welcome"))->GetLineCount(), 1) << c.name;
        CloseTop();
    }
}

TEST_F(MainMenuTest, CrossSellEntryNeedsTheCatalogue)
{
    // The layout shows the entry; only a missing catalogue hides it.
    ASSERT_NE(BuildMenu(), nullptr);
    EXPECT_TRUE(Shown("moregames"));
    CloseTop();
    UseEmptyDataFolder();
    ASSERT_NE(BuildMenu(), nullptr);
    EXPECT_FALSE(Shown("moregames"));
}

TEST_F(MainMenuTest, PlaysTheMusicAndReportsTheVisitAndTakesItsGlobalAlong)
{
    TLogCapture log;
    TMainMenu* menu = BuildMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->GetMusic(), nullptr);
    EXPECT_EQ(std::string(menu->GetMusic()->GetName().c_str()), "audio/music/mainmenumusic");
    EXPECT_EQ(menu->GetMusic()->GetGroup(), 1001);
    EXPECT_EQ(Run("return type(SetWelcomeName)"), "function");
    Run("kept = SetWelcomeName");
    CloseTop();
    const std::string text = log.Text();
    const size_t begun = text.find("MET_BeginMainMenu()");
    EXPECT_NE(begun, std::string::npos) << text;
    EXPECT_NE(text.find("MET_EndMainMenu()", begun), std::string::npos) << text;
    EXPECT_EQ(Run("return type(SetWelcomeName)"), "nil");
    EXPECT_EQ(Run("kept()"), "nil") << "a kept copy finds the menu gone";
}

}  // namespace
