// The awards window: stepping through the twelve awards with keys and messages, the title and
// the body or teaser by whether the award is earned, the generic texts as fallbacks.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "common/log_capture.h"
#include "core/platform/event.h"
#include "core/strings/string_table.h"
#include "game/interface/layout_fixture.h"
#include "game/screens/awards/awards_window.h"
#include "game/script/window_autoreg.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/strings/localised_strings.h"
#include "online/scores/zv_hiscores.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"

namespace {

class AwardsWindowTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        GameLayoutTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        saved = gAwardsManager;
        gAwardsManager = tAwardsManager();
        for (int i = 0; i < tAwardsWindow::kAwardCount; ++i)
            gAwardsManager.AddAwardDef(("award" + std::to_string(i)).c_str(), 10);
    }
    void TearDown() override
    {
        gAwardsManager = saved;
        GameLayoutTest::TearDown();
    }
    tAwardsWindow* Window()
    {
        Layout("Text{ name = 'item_title', w = 100, h = 20 }, Text{ name = 'item_body', w = 100, h = 20 },"
               " tAwardsWindow{ name = 'awards', w = 100, h = 100 }");
        return GetCast<tAwardsWindow>(Find("awards"));
    }
    str TextOf(const char* name) { return GetCast<TText>(Find(name))->GetText(); }

    tAwardsManager saved;
};

TEST_F(AwardsWindowTest, KeysAndMessagesStepWithinTheList)
{
    tAwardsWindow* awards = Window();
    ASSERT_NE(awards, nullptr);
    EXPECT_EQ(awards->GetShownName(), "award0");
    EXPECT_TRUE(awards->OnKeyDown(char(TEvent::kUp), 0));
    EXPECT_EQ(awards->GetIndex(), 0) << "up on the first stays on the first";
    for (int i = 0; i < 20; ++i)
        awards->OnKeyDown(char(TEvent::kDown), 0);
    EXPECT_EQ(awards->GetIndex(), 11) << "down on the twelfth stays there";
    Lua("SendAwardMessage('go_left')");
    EXPECT_EQ(awards->GetShownName(), "award10");
    Lua("SendAwardMessage('award3')");
    EXPECT_EQ(awards->GetShownName(), "award3");
    EXPECT_EQ(awards->GetIndex(), 10) << "a name shows that award without moving the index";
    EXPECT_FALSE(awards->OnKeyDown('x', 0));
}

// What the player reads: an earned award's description, an unearned one's teaser, and the
// generic texts for an award the table has none for.
TEST_F(AwardsWindowTest, EarnedAwardsShowWhatWasDoneAndTheOthersHowToEarnThem)
{
    std::string rows;
    for (const auto& [key, text] : std::vector<std::pair<const char*, const char*>>{
             {"award0_title", "Rise and shine"},
             {"award0_body", "Mira woke up."},
             {"award0_teaser", "Start the story."},
             {"award1_title", "Brass in the drawer"},
             {"award1_body", "You found the key."},
             {"award1_teaser", "Look through the furniture."},
             {"award_title_generic", "A secret award"},
             {"award_body_generic", "You earned this one."},
             {"award_teaser_generic", "Keep playing."}})
        rows += std::string("<Row><Cell><Data>") + key + "</Data></Cell><Cell><Data>" + text + "</Data></Cell></Row>";
    const std::string sheet =
        "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>" + rows + "</Table></Worksheet></Workbook>\n";
    TStringTable strings;
    ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    SetGlobalStringTable(&strings);
    TZvHiscores tables(false);
    tables.SetProperty(TZvHiscores::kPropUserName, "mira");
    gAwardsManager.SetScoreTables(&tables);
    gAwardsManager.EarnAward("award0");
    gAwardsManager.EarnAward("award2");

    tAwardsWindow* awards = Window();
    ASSERT_NE(awards, nullptr);
    const struct
    {
        const char* title;
        const char* body;
    } shown[] = {
        {"Rise and shine", "Mira woke up."},
        {"Brass in the drawer", "Look through the furniture."},
        {"A secret award", "You earned this one."},
        {"A secret award", "Keep playing."},
    };
    for (const auto& award : shown) {
        EXPECT_EQ(TextOf("item_title"), str(award.title));
        EXPECT_EQ(TextOf("item_body"), str(award.body));
        awards->OnKeyDown(char(TEvent::kDown), 0);
    }
    gAwardsManager.SetScoreTables(nullptr);
    SetGlobalStringTable(nullptr);
}

TEST_F(AwardsWindowTest, TheMessageGlobalGoesWithTheWindow)
{
    tAwardsWindow* awards = Window();
    EXPECT_TRUE(LuaTrue("SendAwardMessage ~= nil"));
    Lua("kept = SendAwardMessage");
    delete awards;
    EXPECT_TRUE(LuaTrue("SendAwardMessage == nil"));
    Lua("kept('go_right')");  // finds its window gone
}

}  // namespace

namespace {

TEST_F(AwardsWindowTest, TheDemoLayoutStepsWithItsArrowsAndCountsThePlayersAwards)
{
    TStringTable strings;
    ASSERT_TRUE(strings.LoadStringTable("assets/strings.xml"));
    SetWidgetStringTable(&strings);
    wm->EnableStringTable(true);
    Lua("NumEarnedMedals = function() return 3 end");
    Lua("PushModal('awardsscreen')");
    ASSERT_TRUE(script->RunScript("layouts/awards.lua"));
    // The interface coroutine, in which the arrows' commands run.
    Lua("return function() while true do WaitForMessage() end end");
    auto* awards = GetCast<tAwardsWindow>(Find("awards"));
    ASSERT_NE(awards, nullptr);
    EXPECT_STREQ(TextOf("count").c_str(), "3 of 12 earned");
    // The arrows are off at the ends of the list, whether the keys or the arrows stepped there;
    // pressed there anyway (by an arrow key), they do nothing.
    const struct
    {
        const char* step;
        int index;
        const char* arrows;  // Previous and Next shown
    } steps[] = {
        {"", 0, "-N"},
        {"go_left", 0, "-N"},
        {"go_right", 1, "PN"},
        {"up", 0, "-N"},
        {"down 11", 11, "P-"},
        {"go_right", 11, "P-"},
        {"go_left", 10, "PN"},
    };
    for (const auto& step : steps) {
        const std::string what = step.step;
        TLogCapture log;
        if (what.starts_with("go_")) {
            GetCast<TButton>(Find(step.step))->DoCommand();
            wm->DispatchMessages();
        }
        for (int i = 0; i < (what == "down 11" ? 11 : what == "up" ? 1 : 0); ++i)
            awards->OnKeyDown(char(what == "up" ? TEvent::kUp : TEvent::kDown), 0);
        EXPECT_EQ(awards->GetIndex(), step.index) << what;
        EXPECT_EQ(std::string(Shown("go_left") ? "P" : "-") + (Shown("go_right") ? "N" : "-"), step.arrows) << what;
        const std::string logged = log.Text();
        if (what.starts_with("go_")) {
            EXPECT_EQ(logged.find("SetActiveItem(-1)"), std::string::npos) << what;
            EXPECT_EQ(logged.find("SetActiveItem(12)"), std::string::npos) << what;
        }
    }
    SetWidgetStringTable(nullptr);
}

// The demo's award texts, in the order of its award list: the first line says which of the
// twelve it is and whether it is earned, gold for an earned one and grey for one still to earn.
// The notice of a player's second award shows the third's text: no "3 of 12" that reads as a count.
TEST_F(AwardsWindowTest, TheDemoTextsSayWhereAnAwardStandsAndWhetherItIsEarned)
{
    TStringTable strings;
    ASSERT_TRUE(strings.LoadStringTable("assets/strings.xml"));
    SetGlobalStringTable(&strings);
    Lua("ReadFile('quest/progress.lua')");
    ASSERT_TRUE(LuaTrue("table.getn(awardlist) == 12"));
    const std::string gold = "<font color='f4d470ff'>", grey = "<font color='9aa2bcff'>";
    for (int i = 0; i < tAwardsWindow::kAwardCount; ++i) {
        lua_State* L = script->GetState();
        Lua("gName = awardlist[" + std::to_string(i + 1) + "][1]");
        lua_getglobal(L, "gName");
        const std::string name = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        const std::string position = "No. " + std::to_string(i + 1) + " on the awards list, ";
        const std::string body = GlocalisedString((name + "_body").c_str()).c_str();
        const std::string teaser = GlocalisedString((name + "_teaser").c_str()).c_str();
        EXPECT_EQ(body.rfind(gold + position + "earned</font><br>", 0), 0u) << body;
        EXPECT_EQ(teaser.rfind(grey + position + "not earned yet</font><br>", 0), 0u) << teaser;
        EXPECT_FALSE(std::regex_search(body + teaser, std::regex("[0-9]+ of [0-9]+"))) << body << teaser;
    }
    for (const char* generic : {"award_body_generic", "award_teaser_generic"})
        EXPECT_EQ(std::string(GlocalisedString(generic).c_str()).rfind(generic[6] == 'b' ? gold : grey, 0), 0u);
    SetGlobalStringTable(nullptr);
}

}  // namespace
