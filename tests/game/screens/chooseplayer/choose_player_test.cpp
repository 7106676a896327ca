// The player choice: made from the demo layout, the profiles handed to the layout as values
// (at most ten, names exactly as stored), the selected profile, and profiles created, chosen,
// renamed and deleted through the demo page.

#include <string>

#include "game/screens/chooseplayer/choose_player.h"
#include "game/screens/menu_fixture.h"
#include "game/script/window_autoreg.h"
#include "ui/widgets/button.h"
#include "ui/widgets/text.h"
#include "ui/widgets/text_edit.h"

namespace {

class ChoosePlayerTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
    }
    // A page whose UpdatePlayerChoices notes its arguments: "current|count|name,name,".
    TChoosePlayer* BuildRecordingPage()
    {
        Lua("function UpdatePlayerChoices(current, count, names)"
            "  gSeen = current .. '|' .. count .. '|'"
            "  for i = 1, table.getn(names) do gSeen = gSeen .. names[i] .. ',' end "
            "end");
        Layout("TChoosePlayer{ name = 'page', w = 600, h = 400, Button{ name = 'button0', type = 2, w = 10, h = 10 },"
               " Button{ name = 'button3', type = 2, w = 10, h = 10 }, Window{ name = 'button1', w = 10, h = 10 } }");
        return GetCast<TChoosePlayer>(Find("page"));
    }
    std::string Label(const char* button) { return GetCast<TButton>(Find(button))->GetLabel().c_str(); }
    // Presses a button of the page or of its dialogs and lets the interface answer.
    void Press(const char* name)
    {
        GetCast<TButton>(Find(name))->DoCommand();
        for (int i = 0; i < 4; ++i) {
            wm->DispatchMessages();
            wm->ClearDestroyedWindows();
        }
    }
};

TEST_F(ChoosePlayerTest, ProfilesReachTheLayoutAsValues)
{
    struct Case
    {
        int profiles;
        int current;
        const char* seen;
    };
    // A page of ten at most: the one that holds the current profile.
    const Case cases[] = {
        {0, -1, "-1|0|"},
        {2, 1, "1|2|p0,p1,"},
        {12, 0, "0|12|p0,p1,p2,p3,p4,p5,p6,p7,p8,p9,"},
        {12, 11, "11|12|p10,p11,"},
    };
    for (const Case& c : cases) {
        MakeSettings();
        for (int i = 0; i < c.profiles; ++i)
            settings->CreateNewUser(str::getFormatted("p%d", i));
        settings->SetCurrentUser(c.current);
        ASSERT_NE(BuildRecordingPage(), nullptr);
        EXPECT_EQ(Run("return gSeen"), c.seen);
        CloseTop();
    }
}

TEST_F(ChoosePlayerTest, SelectedProfileAndItsNameExactlyAsStored)
{
    const std::string hostile = "Ann']]--[[\" {'\\";
    for (const char* name : {hostile.c_str(), "Bo", "Cy", "Di"})
        settings->CreateNewUser(name);
    ASSERT_NE(BuildRecordingPage(), nullptr);
    EXPECT_EQ(Run("return gSeen"), "3|4|" + hostile + ",Bo,Cy,Di,");
    GetCast<TButton>(Find("button0"))->SetOn(false);
    // None on: profile 0; a window of that name that is not a button does not count.
    EXPECT_EQ(Run("return GetCurrentSelectedUser() .. GetSelectedPlayerName()"), "0" + hostile);
    GetCast<TButton>(Find("button3"))->SetOn(true);
    EXPECT_EQ(Run("return GetCurrentSelectedUser() .. GetSelectedPlayerName()"), "3Di");
    CloseTop();
    EXPECT_EQ(Run("return tostring(SetPlayerChoices) .. tostring(GetCurrentSelectedUser)"), "nilnil");
}

TEST_F(ChoosePlayerTest, DemoPageListsChoosesCreatesRenamesAndDeletes)
{
    settings->CreateNewUser("Ann");
    settings->CreateNewUser("Bo");
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    ASSERT_NE(GetCast<TChoosePlayer>(Find("chooseplayer")), nullptr);
    EXPECT_EQ(Label("button0"), "Ann");
    EXPECT_EQ(Label("button1"), "Bo");
    EXPECT_TRUE(Shown("button1"));
    EXPECT_FALSE(Shown("button2"));
    EXPECT_TRUE(GetCast<TButton>(Find("button1"))->IsOn());  // the current profile
    EXPECT_FALSE(GetCast<TButton>(Find("button0"))->IsOn());

    // Choosing a profile is pressing its button.
    GetCast<TButton>(Find("button0"))->DoPress();
    EXPECT_EQ(settings->GetCurrentUser(), 0);
    EXPECT_FALSE(GetCast<TButton>(Find("button1"))->IsOn());

    // What the page's New and Rename do once the name dialog has its name.
    struct Step
    {
        const char* code;
        const char* labels;  // the shown profile buttons
        int current;
    };
    const Step steps[] = {
        {"CreateNewUser('Cy<br>Di'); SetPlayerChoices()", "Ann,Bo,Cy\\<br>Di,", 2},
        {"ChangeCurrentUserName('Cy'); SetPlayerChoices()", "Ann,Bo,Cy,", 2},
        {"ChangeCurrentUserName('Cyd'); SetPlayerChoices()", "Ann,Bo,Cyd,", 2},
        {"DeleteUser(0); SetPlayerChoices()", "Bo,Cyd,", 1},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(Run(step.code), "nil") << step.code;
        std::string labels;
        for (int i = 0; i < TChoosePlayer::kMaxChoices; ++i) {
            const std::string button = "button" + std::to_string(i);
            if (Shown(button.c_str())) {
                labels += Label(button.c_str()) + ",";
                EXPECT_EQ(GetCast<TText>(Find(button.c_str())->GetChildWindow("label", 1))->GetLineCount(), 1);
            }
        }
        EXPECT_EQ(labels, step.labels) << step.code;
        EXPECT_EQ(settings->GetCurrentUser(), step.current) << step.code;
        EXPECT_EQ(Run("return GetCurrentSelectedUser()"), std::to_string(step.current)) << step.code;
    }
}

TEST_F(ChoosePlayerTest, DemoNameDialogShowsItsTextsAndWhyTheLastNameWasRefused)
{
    const std::string sheet =
        "<Workbook><Row><Cell><Data>entername_placeholder</Data></Cell><Cell><Data>Type your name</Data></Cell></Row>"
        "<Row><Cell><Data>entername_taken</Data></Cell><Cell><Data>Taken</Data></Cell></Row></Workbook>";
    ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    for (const char* refusal : {"nil", "'entername_taken'"}) {
        Run(std::string("gNameRefusal = ") + refusal);
        ReadLayout("layouts/entername.lua");
        auto* player = GetCast<TTextEdit>(Find("player"));
        ASSERT_NE(player, nullptr);
        EXPECT_EQ(std::string(player->GetText().c_str()), "Type your name");
        const bool refused = std::string(refusal) != "nil";
        EXPECT_EQ(Shown("refused"), refused) << refusal;
        if (refused) {
            EXPECT_EQ(std::string(GetCast<TText>(Find("refused"))->GetText().c_str()), "Taken");
        }
        CloseTop();
    }
}

TEST_F(ChoosePlayerTest, DemoRenameStartsFromTheNameAndKeepsARefusedOne)
{
    const std::string sheet =
        "<Workbook><Row><Cell><Data>entername_placeholder</Data></Cell><Cell><Data>Type</Data></Cell></Row></Workbook>";
    ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    settings->CreateNewUser("Ann");
    settings->CreateNewUser("Bo");
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    auto field = [&] { return GetCast<TTextEdit>(Find("player")); };
    // What the name dialog shows: its title's key, the field, whether OK shows, where Cancel stands.
    auto dialog = [&] {
        return TextOf("title") + "|" + field()->GetText().c_str() + "|" + (Shown("ok") ? "ok" : "-") + "|" +
               std::to_string(Find("cancel")->GetRect().left);
    };

    Press("player_new");
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(dialog(), "entername_title|Type|-|135");
    Press("cancel");

    Press("player_rename");
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(dialog(), "entername_rename_title|Bo|ok|55");
    // A name another player has is refused, and asked for again as it was typed.
    field()->SetText("Ann");
    Press("ok");
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(dialog(), "entername_rename_title|Ann|ok|55");
    EXPECT_TRUE(Shown("refused"));
    // Keeping one's own name is no refusal.
    field()->SetText("Bo");
    Press("ok");
    EXPECT_EQ(Find("player"), nullptr);
    EXPECT_EQ(std::string(settings->GetCurrentUserName().c_str()), "Bo");
}

// The question before a deletion names the player, as typed, and stands clear of their row.
TEST_F(ChoosePlayerTest, DemoDeleteQuestionNamesThePlayerAndLeavesTheirRowInSight)
{
    const std::string sheet = "<Workbook><Row><Cell><Data>deleteplayer_title</Data></Cell><Cell><Data>Delete %1%?"
                              "</Data></Cell></Row></Workbook>";
    ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    wm->EnableStringTable(true);
    for (int i = 0; i < 10; ++i)
        settings->CreateNewUser(i == 7 ? str("<b>Jo") : str::getFormatted("p%d", i));
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    // Top and bottom on the screen.
    auto rows = [](TWindow* window) {
        TPoint top(0, 0);
        window->ClientToScreen(&top);
        return std::pair{top.y, top.y + window->GetWindowHeight()};
    };
    for (const int chosen : {0, 1, 2, 4, 5, 7, 9}) {
        const std::string button = "button" + std::to_string(chosen);
        GetCast<TButton>(Find(button.c_str()))->DoPress();
        Press("player_delete");
        TWindow* question = Find("deleteplayer");
        ASSERT_NE(question, nullptr) << chosen;
        auto* title = GetCast<TText>(question->GetChildWindow("title", unsigned(-1)));
        const std::string name = chosen == 7 ? "\\<b>Jo" : "p" + std::to_string(chosen);
        EXPECT_EQ(std::string(title->GetText().c_str()), "Delete " + name + "?") << chosen;
        const auto [top, bottom] = rows(question);
        const auto [rowTop, rowBottom] = rows(Find(button.c_str()));
        EXPECT_TRUE(bottom <= rowTop || top >= rowBottom) << chosen;
        Press("delete_no");
        EXPECT_EQ(Find("deleteplayer"), nullptr);
    }
    EXPECT_EQ(settings->GetNumUsers(), 10);
}

// More players than a page holds: the pages reach every one of them, from the last round to
// the first; a new player can still be made, and a player is deleted from their own page.
TEST_F(ChoosePlayerTest, DemoPagesReachEveryPlayer)
{
    for (int i = 0; i < 25; ++i)
        settings->CreateNewUser(str::getFormatted("p%d", i));
    settings->SetCurrentUser(3);
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    auto* page = GetCast<TChoosePlayer>(Find("chooseplayer"));
    ASSERT_NE(page, nullptr);
    auto labels = [&] {
        std::string shown;
        for (int i = 0; i < TChoosePlayer::kMaxChoices; ++i) {
            const std::string button = "button" + std::to_string(i);
            if (Shown(button.c_str()))
                shown += Label(button.c_str()) + (GetCast<TButton>(Find(button.c_str()))->IsOn() ? "*," : ",");
        }
        return shown;
    };
    EXPECT_TRUE(Shown("player_new"));
    EXPECT_TRUE(Shown("player_next"));
    EXPECT_EQ(labels(), "p0,p1,p2,p3*,p4,p5,p6,p7,p8,p9,");
    const struct
    {
        const char* press;
        const char* labels;
        const char* page;
        bool renames;          // the chosen player is on the page
        const char* selected;  // GetCurrentSelectedUser and GetSelectedPlayerName: 0 when none is on
    } steps[] = {
        {"player_prev", "p20,p21,p22,p23,p24,", "3 / 3", false, "0p0"},
        {"player_next", "p0,p1,p2,p3*,p4,p5,p6,p7,p8,p9,", "1 / 3", true, "3p3"},
        {"player_next", "p10,p11,p12,p13,p14,p15,p16,p17,p18,p19,", "2 / 3", false, "0p0"},
        {"button2", "p10,p11,p12*,p13,p14,p15,p16,p17,p18,p19,", "2 / 3", true, "12p12"},
    };
    for (const auto& step : steps) {
        if (std::string(step.press).starts_with("button"))
            GetCast<TButton>(Find(step.press))->DoPress();
        else
            Press(step.press);
        EXPECT_EQ(labels(), step.labels) << step.press;
        EXPECT_EQ(std::string(GetCast<TText>(Find("player_page"))->GetText().c_str()), step.page) << step.press;
        EXPECT_EQ(Shown("player_rename") && Shown("player_delete"), step.renames) << step.press;
        EXPECT_EQ(Run("return GetCurrentSelectedUser() .. GetSelectedPlayerName()"), step.selected) << step.press;
    }
    EXPECT_EQ(settings->GetCurrentUser(), 12);
    Press("player_delete");
    ASSERT_NE(Find("deleteplayer"), nullptr);
    Press("delete_yes");
    EXPECT_EQ(settings->GetNumUsers(), 24);
    EXPECT_EQ(settings->GetUserName(12), str("p13"));
    EXPECT_EQ(labels(), "p10,p11*,p13,p14,p15,p16,p17,p18,p19,p20,");
}

// The question says all that goes with the player: the saved game, the awards and the log-in
// the score dialog remembered for them; the scores stay.
TEST_F(ChoosePlayerTest, DemoDeleteQuestionSaysTheRememberedLogInGoesToo)
{
    ASSERT_TRUE(strings.LoadStringTable("assets/strings.xml"));
    wm->EnableStringTable(true);
    settings->CreateNewUser("Ann");
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    Press("player_delete");
    TWindow* question = Find("deleteplayer");
    ASSERT_NE(question, nullptr);
    auto* body = GetCast<TText>(question->GetChildWindow("question", unsigned(-1)));
    ASSERT_NE(body, nullptr);
    const std::string text = body->GetText().c_str();
    for (const char* said : {"saved game", "awards", "score-server log-in", "scores stay"})
        EXPECT_NE(text.find(said), std::string::npos) << said << " in: " << text;
    Press("delete_no");
    EXPECT_EQ(settings->GetNumUsers(), 1);
}

// A name another player has, in any case, is refused, on this page or another; a player's own
// name in another case is not.
TEST_F(ChoosePlayerTest, DemoNamesThatDifferOnlyInCaseAreTaken)
{
    for (int i = 0; i < 10; ++i)
        settings->CreateNewUser(str::getFormatted("p%d", i));
    settings->CreateNewUser("Ann");
    settings->CreateNewUser("Bo");  // current, on the second page: the one renamed
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    const struct
    {
        const char* button;
        const char* typed;
        bool refused;
    } cases[] = {
        {"player_new", "ann", true},     {"player_new", " BO ", true}, {"player_rename", "ANN", true},
        {"player_new", "P0", true},      {"player_rename", "p9 ", true}, {"player_new", "  ", true},
        {"player_rename", "bO", false},  {"player_new", "Cy", false},
    };
    for (const auto& c : cases) {
        Press(c.button);
        auto* field = GetCast<TTextEdit>(Find("player"));
        ASSERT_NE(field, nullptr) << c.typed;
        field->SetText(c.typed);
        Press("ok");
        EXPECT_EQ(Find("player") != nullptr, c.refused) << c.typed;
        if (Find("player")) {
            EXPECT_TRUE(Shown("refused")) << c.typed;
            Press("cancel");
        }
    }
    std::string names;
    for (int i = 10; i < settings->GetNumUsers(); ++i)
        names += std::string(settings->GetUserName(i).c_str()) + ",";
    EXPECT_EQ(names, "Ann,bO,Cy,");
    EXPECT_EQ(settings->GetNumUsers(), 13);
}

// The demo's words under the name field show whole, without a scroll bar, above the line that
// says why a name was refused.
TEST_F(ChoosePlayerTest, DemoNameDialogsShowTheirWholeRules)
{
    ASSERT_TRUE(strings.LoadStringTable("assets/strings.xml"));
    wm->EnableStringTable(true);
    settings->CreateNewUser("Ann");
    StartInterface();
    ReadLayout("layouts/chooseplayer.lua");
    for (const char* dialog : {"player_new", "player_rename"}) {
        Press(dialog);
        auto* rules = GetCast<TText>(Find("rulestext"));
        ASSERT_NE(rules, nullptr) << dialog;
        EXPECT_GT(rules->GetLineCount(), 2) << dialog;
        TRect bounds;
        rules->GetTextBounds(&bounds);
        const TRect window = Find("rules")->GetRect();
        EXPECT_LE(bounds.bottom, window.bottom - window.top) << dialog;
        EXPECT_GE(Find("refused")->GetRect().top, window.bottom) << dialog;
        EXPECT_FALSE(Shown("slider")) << dialog;
        Press("cancel");
    }
}

// The scroll bar shows only for words longer than their window; a full field says it is full,
// counting letters, not bytes.
TEST_F(ChoosePlayerTest, DemoNameDialogScrollsOnlyLongWordsAndSaysWhenTheFieldIsFull)
{
    const std::string sheet =
        "<Workbook><Row><Cell><Data>entername_full</Data></Cell><Cell><Data>Full</Data></Cell></Row></Workbook>";
    ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    for (const bool scrolls : {true, false}) {
        Lua(std::string("gNameRulesScroll = ") + (scrolls ? "true" : "nil"));
        ReadLayout("layouts/entername.lua");
        EXPECT_EQ(Shown("slider"), scrolls);
        CloseTop();
    }
    ReadLayout("layouts/entername.lua");
    const struct
    {
        const char* typed;
        bool full;
    } cases[] = {{"Alexandrina Smi", false}, {"Alexandrina Smit", true}, {"Zo\xc3\xab \xc3\x85lander-Bru", false},
                 {"Zo\xc3\xab \xc3\x85lander-Brun", true}};
    for (const auto& c : cases) {
        GetCast<TTextEdit>(Find("player"))->SetText(c.typed);
        Lua("PlaceNameButtons()");
        EXPECT_EQ(Shown("refused"), c.full) << c.typed;
        if (c.full) {
            EXPECT_EQ(TextOf("refused"), "Full");
        }
    }
}

}  // namespace
