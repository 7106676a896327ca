// The high-score screen on the demo's layout: the local table, the online table fetched through
// the state machine and scrolled, long names shrunk to fit, the local-only layout, failures
// shown as text, a submission's outcome, and its Lua globals.

#include <gtest/gtest.h>

#include <vector>

#include "common/log_capture.h"
#include "core/script/message.h"
#include "game/screens/score_screen_fixture.h"
#include "render/text/text_graphic.h"
#include "ui/window/message_types.h"

namespace {

class HiscoreTest : public ScoreScreenTest
{
protected:
    // Polls as the screen's animation task would until the fetch ends; the end state.
    int Settle(THiscore* screen)
    {
        PollUntil([&] {
            screen->OnTaskAnimate();
            return screen->GetState() != THiscore::kFetchingCategories &&
                   screen->GetState() != THiscore::kFetchingScores;
        });
        return screen->GetState();
    }
    // The online table of `rows` rows, fetched through the "view" button.
    THiscore* Online(int rows, int own = 0)
    {
        StartSettings();
        THiscore* screen = OpenHiscore();
        EXPECT_NE(screen, nullptr);
        if (!screen)
            return nullptr;
        server.QueueReply(Categories());
        server.QueueReply(Scores(rows, own));
        Press("view");
        EXPECT_EQ(Settle(screen), THiscore::kOnline);
        return screen;
    }
    // Ends one case of a table: the screen and the settings go.
    void Close(THiscore* screen)
    {
        TSettings::DeleteSettings();
        wm->PopModal(WindowIdText(screen->FindParentModal()->GetId()));
        wm->ClearDestroyedWindows();
    }
    static bool Button(THiscore* screen, const char* name)
    {
        TMessage press(kButtonPress, name, nullptr);
        return screen->OnMessage(&press);
    }
    int ShownRows()
    {
        int shown = 0;
        for (int i = 1; i <= THiscore::kRows; ++i)
            shown += Shown(("name" + std::to_string(i)).c_str());
        return shown;
    }
};

// With no score server named, the panel says so and offers neither sending nor the online table.
TEST_F(HiscoreTest, LocalTableShowsThePlayersScoresAndTheLocalButtons)
{
    const struct
    {
        bool server;
        std::vector<const char*> shown, hidden;
    } cases[] = {
        {false,
         {"local", "noserver", "rightpanel"},
         {"info", "eligible", "eligibleasterisk", "view", "submit", "global", "server", "error", "viewlocal"}},
        {true,
         {"local", "info", "eligible", "eligibleasterisk", "rightpanel", "view", "submit"},
         {"noserver", "global", "topplayers", "scrollup", "scrolldown", "server", "error", "rightpanelsmall",
          "viewlocal", "categoryleft"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server ? "a score server" : "no score server");
        std::filesystem::remove(dir + "/hiscore.dat");
        TZvHiscores* scores = StartSettings(c.server);
        scores->KeepScore(300, false, nullptr);
        scores->KeepScore(500, false, nullptr);
        THiscore* screen = OpenHiscore();
        ASSERT_NE(screen, nullptr);

        EXPECT_EQ(screen->GetState(), THiscore::kLocal);
        EXPECT_EQ(ShownRows(), 2);
        EXPECT_EQ(TextOf("name1"), "ann");
        EXPECT_EQ(TextOf("score1"), "500");
        EXPECT_EQ(TextOf("1"), "1.");
        EXPECT_EQ(TextOf("gamemode"), "Story");
        for (const char* shown : c.shown)
            EXPECT_TRUE(Shown(shown)) << shown;
        for (const char* hidden : c.hidden)
            EXPECT_FALSE(Shown(hidden)) << hidden;
        EXPECT_EQ(server.RequestCount(), 0u);
        Close(screen);
    }
}

TEST_F(HiscoreTest, OnlineFetchGoesThroughItsStatesAndShowsTheCategory)
{
    StartSettings();
    THiscore* screen = OpenHiscore();
    ASSERT_NE(screen, nullptr);
    server.QueueReply(TestReply::Delayed(100, Categories().body));
    server.QueueReply(Scores(12));
    Press("view");
    EXPECT_EQ(screen->GetState(), THiscore::kFetchingCategories);
    EXPECT_TRUE(Shown("server"));
    EXPECT_TRUE(Shown("rightpanelsmall"));
    EXPECT_FALSE(Shown("rightpanel"));
    ASSERT_EQ(Settle(screen), THiscore::kOnline);

    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].body.find("action=tables"), std::string::npos) << requests[0].body;
    EXPECT_NE(requests[1].body.find("action=get"), std::string::npos) << requests[1].body;
    EXPECT_NE(requests[1].body.find("table=t1"), std::string::npos) << requests[1].body;
    EXPECT_EQ(TextOf("category"), "Daily");
    EXPECT_EQ(TextOf("name1"), "player1");
    EXPECT_TRUE(Shown("p1_1")) << "an account's row carries the mark";
    EXPECT_FALSE(Shown("p1_2")) << "an anonymous row does not";
    for (const char* shown : {"global", "category", "yourrankglobalinfo", "viewlocal", "categoryright"})
        EXPECT_TRUE(Shown(shown)) << shown;
    for (const char* hidden : {"server", "local", "view", "info", "congratulations", "dnq", "yourrank"})
        EXPECT_FALSE(Shown(hidden)) << hidden;

    // The next category; back to the local table.
    server.QueueReply(Scores(3));
    Press("categoryright");
    EXPECT_EQ(screen->GetState(), THiscore::kFetchingScores);
    ASSERT_EQ(Settle(screen), THiscore::kOnline);
    EXPECT_NE(server.Requests().back().body.find("table=t2"), std::string::npos);
    EXPECT_EQ(TextOf("category"), "All time");
    Press("viewlocal");
    EXPECT_EQ(screen->GetState(), THiscore::kLocal);
    EXPECT_TRUE(Shown("rightpanel"));
}

TEST_F(HiscoreTest, ScrollingStopsAtTheLastFiveRows)
{
    struct Case
    {
        int rows;
        int scrollsDown;
        int firstRow;
        int shownRows;
        bool up;
        bool down;
    };
    const Case cases[] = {
        {23, 0, 0, 10, false, true}, {23, 1, 10, 10, true, true}, {23, 2, 18, 5, true, false},
        {23, 3, 18, 5, true, false}, {3, 0, 0, 3, false, false},  {3, 1, 0, 3, false, false},
        {0, 0, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows, " + std::to_string(c.scrollsDown) + " down");
        THiscore* screen = Online(c.rows);
        ASSERT_NE(screen, nullptr);
        for (int i = 0; i < c.scrollsDown; ++i)
            EXPECT_FALSE(Button(screen, "scrolldown")) << "the layout's script sees the press too";
        EXPECT_EQ(screen->GetFirstRow(), c.firstRow);
        EXPECT_EQ(ShownRows(), c.shownRows);
        EXPECT_EQ(Shown("scrollup"), c.up);
        EXPECT_EQ(Shown("scrolldown"), c.down);
        if (c.shownRows > 0) {
            EXPECT_EQ(TextOf("1"), std::to_string(c.firstRow + 1) + ".");
        }
        Close(screen);
    }
}

TEST_F(HiscoreTest, LongNamesShrinkUntilTheyFit)
{
    StartSettings();
    const std::string longWord(40, 'W');
    server.QueueReply(Categories());
    server.QueueReply(TestReply::Xml("<hiscore><scores>"
                                     "<score name=\"Ann\" score=\"9\" rank=\"1\"/>"
                                     "<score name=\"Annabel Maximiliana Featherstonehaugh\" score=\"8\" rank=\"2\"/>"
                                     "<score name=\"" +
                                     longWord + "\" score=\"7\" rank=\"3\"/></scores></hiscore>"));
    THiscore* screen = OpenHiscore();
    ASSERT_NE(screen, nullptr);
    Press("view");
    ASSERT_EQ(Settle(screen), THiscore::kOnline);

    auto fits = [](TText* text) {
        TRect r;
        text->GetTextBounds(&r);
        return r.right < text->GetWindowWidth() && r.top >= 0 && r.bottom <= text->GetWindowHeight();
    };
    auto* shortName = GetCast<TText>(Find("name1"));
    auto* twoWords = GetCast<TText>(Find("name2"));
    auto* oneWord = GetCast<TText>(Find("name3"));
    ASSERT_TRUE(shortName && twoWords && oneWord);
    EXPECT_EQ(shortName->GetGraphic()->GetLineHeight(), 20u) << "a short name keeps the layout's height";
    for (TText* text : {twoWords, oneWord}) {
        EXPECT_LT(text->GetGraphic()->GetLineHeight(), 20u) << text->GetText().c_str();
        EXPECT_TRUE(fits(text)) << text->GetText().c_str();
        // One step larger would not have fitted.
        const unsigned fitted = text->GetGraphic()->GetLineHeight();
        text->GetGraphic()->SetLineHeight(fitted + 1);
        EXPECT_FALSE(fits(text)) << text->GetText().c_str();
        text->GetGraphic()->SetLineHeight(fitted);
    }

    // Scrolled past, the row starts again from the layout's height.
    server.QueueReply(TestReply::Xml("<hiscore><scores><score name=\"Bo\" score=\"1\" rank=\"1\"/>"
                                     "<score name=\"Cy\" score=\"1\" rank=\"2\"/>"
                                     "<score name=\"Di\" score=\"1\" rank=\"3\"/></scores></hiscore>"));
    Press("categoryright");
    ASSERT_EQ(Settle(screen), THiscore::kOnline);
    EXPECT_EQ(oneWord->GetGraphic()->GetLineHeight(), 20u);
}

TEST_F(HiscoreTest, LocalOnlyMovesTheLeftPanelAndHidesTheRightOnes)
{
    for (bool localOnly : {false, true}) {
        SCOPED_TRACE(localOnly ? "hiscorelocal" : "online too");
        StartSettings();
        TConfig::SetConfig(TConfig::kHiscoreLocalOnly, localOnly ? "1" : "0");
        THiscore* screen = OpenHiscore();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(Find("leftpanel")->GetRect().left, localOnly ? 40 + THiscore::kLocalOnlyShift : 40);
        EXPECT_EQ(Shown("topplayers"), localOnly);
        EXPECT_EQ(Shown("local"), !localOnly);
        EXPECT_EQ(Shown("rightpanel"), !localOnly);
        EXPECT_EQ(Shown("info"), !localOnly);
        EXPECT_EQ(Shown("view"), !localOnly) << "the layout offers no online table";
        EXPECT_FALSE(Shown("rightpanelsmall"));
        screen->OnTaskAnimate();
        EXPECT_EQ(server.RequestCount(), 0u);
        Close(screen);
    }
}

TEST_F(HiscoreTest, FailedRequestsShowTheirMessageAsText)
{
    struct Case
    {
        const char* what;
        TestReply categories;
        long timeoutMs;
        std::string message;
        std::string shown;
    };
    const Case cases[] = {
        {"server error", TestReply::Error500(), 5000, kFixedError, kFixedError},
        {"server message", TestReply::Xml("<hiscore><message>Closed &lt;b&gt;today&lt;/b&gt;</message></hiscore>"),
         5000, "Closed <b>today</b>", "Closed \\<b>today\\</b>"},
        {"no answer", TestReply::Delayed(3000, Categories().body), 300, kFixedError, kFixedError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TSimpleHttp::SetDefaultTimeout(c.timeoutMs);
        StartSettings();
        THiscore* screen = OpenHiscore();
        ASSERT_NE(screen, nullptr);
        server.QueueReply(c.categories);
        Press("view");
        ASSERT_EQ(Settle(screen), THiscore::kError);
        EXPECT_EQ(screen->GetErrorText(), str(c.message.c_str()));
        EXPECT_TRUE(Shown("error"));
        EXPECT_EQ(TextOf("error"), c.shown) << "the message is text, not markup";
        EXPECT_FALSE(Shown("server"));
        EXPECT_TRUE(Shown("viewlocal")) << "the player can leave the error";
        Close(screen);
    }
}

TEST_F(HiscoreTest, ScoreSentFromTheScreenShowsWhereItLanded)
{
    for (bool listed : {true, false}) {
        SCOPED_TRACE(listed ? "listed" : "not listed");
        StartSettings()->KeepScore(640, false, nullptr);
        RunModal("layouts/hiscore.lua");
        auto* screen = GetCast<THiscore>(Find("hiscore"));
        ASSERT_NE(screen, nullptr);
        Press("submit");
        auto* dialog = GetCast<TServerSubmit>(Find("submitdialog"));
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(TextOf("scoreline"), "Score to send: 640");

        server.QueueReply(TestReply::Xml(listed ? "<hiscore><score/></hiscore>" : "<hiscore/>"));
        server.QueueReply(Categories());
        server.QueueReply(Scores(5, listed ? 3 : 0));
        GetCast<TText>(Find("nameedit"))->SetText("Ann");
        Press("submittoserver");
        ASSERT_TRUE(dialog->IsPolling());
        PollUntil([&] { return !dialog->OnTaskAnimate(); });
        wm->ClearDestroyedWindows();
        wm->DispatchMessages();
        EXPECT_EQ(Find("submitdialog"), nullptr);

        // The layout reported the outcome: the online table is fetched to show it.
        EXPECT_EQ(screen->GetState(), THiscore::kFetchingCategories);
        ASSERT_EQ(Settle(screen), THiscore::kOnline);
        EXPECT_EQ(Shown("congratulations"), listed);
        EXPECT_EQ(Shown("dnq"), !listed);
        EXPECT_EQ(Shown("yourrank"), listed);
        EXPECT_FALSE(Shown("yourrankglobalinfo"));
        if (listed) {
            EXPECT_EQ(TextOf("yourrank"), "Your online rank: 3");
        }
        Close(screen);
    }
}

TEST_F(HiscoreTest, LayoutWithoutItsChildrenIsLoggedAndStillSafe)
{
    StartSettings();
    TLogCapture log;
    Layout("THiscore{ name = 'bare', w = 100, h = 100 }");
    auto* screen = GetCast<THiscore>(Find("bare"));
    ASSERT_NE(screen, nullptr);
    server.QueueReply(Categories());
    server.QueueReply(Scores(3));
    EXPECT_FALSE(Button(screen, "view"));
    EXPECT_EQ(Settle(screen), THiscore::kOnline);
    EXPECT_FALSE(Button(screen, "scrolldown"));
    EXPECT_TRUE(Button(screen, "categoryleft"));
    const std::string text = log.Text();
    for (const char* line : {"THiscore: the layout has no text 'name1'", "THiscore: the layout has no picture 'p1_10'",
                             "THiscore: the layout has no window 'rightpanel'", "no function UpdateButtons"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST_F(HiscoreTest, ItsGlobalsGoWithTheScreenAndGiveTheGameStateItsGetStateBack)
{
    StartSettings();
    Lua("GetState = function() return 'game state' end");
    THiscore* screen = OpenHiscore();
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(LuaTrue("GetState() == 0"));
    EXPECT_TRUE(LuaTrue("ScoreAvailable() == false"));
    Lua("kept = GetState");
    delete screen;
    for (const char* name : {"ScoreAvailable", "UpdateText", "SubmissionDone"})
        EXPECT_EQ(Global(name), "nil") << name;
    EXPECT_TRUE(LuaTrue("GetState() == 'game state'"));
    EXPECT_TRUE(LuaTrue("kept() == nil")) << "a kept copy finds the screen gone";
}

}  // namespace
