// The demo's diary screens: entries written in play shown in their books with hints, links
// and pictures, paging through entries and pages, the numbered quest list, links that select
// what they name, script texts shown as written, and the window-bound Lua function.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/cpu_clock.h"
#include "common/log_capture.h"
#include "core/platform/event.h"
#include "diary_fixture.h"
#include "game/interface/diary/diary_selection.h"
#include "game/interface/diary/diary_window.h"
#include "game/interface/diary/window_item_entry.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

namespace {

const std::string kHintLink = "\n\n<a id='click_for_more' color = 'ffffffff'>There is more: press Hint below.</a>\n";

TEST_F(DiaryTest, EntriesWrittenInPlayShowInTheirBooksWithHintsAndPictures)
{
    for (const char* name : {"note", "roses", "sketch", "fireflies"})
        Write(name);
    OpenScreen("diary/primary.lua");

    // The sketch book was written to: it opens first, without hints.
    EXPECT_EQ(TextOf("notes_list_header"), "Sketches");
    EXPECT_EQ(TextOf("listtext"), "<outline color='fae296' size='2'><a id='sketch' color='3c2c78'>Lantern sketch</a>"
                                  "</outline>");
    EXPECT_EQ(TextOf("item_title"), "Lantern sketch");
    EXPECT_EQ(TextOf("item_body"), "A sketch of the lantern's shutters.");
    auto* entry = GetCast<tWindowItemEntry>(Find("entry_window"));
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->GetPicture(), nullptr);
    EXPECT_EQ(entry->GetPicture()->GetTexture()->GetWidth(), 200u);
    EXPECT_FALSE(Shown("hintbutton"));
    EXPECT_TRUE(Shown("C_CLUES"));
    EXPECT_FALSE(Shown("C_SKETCHES"));
    EXPECT_FALSE(gGamestate.GetDiary(1)->HasNewEntry());
    EXPECT_EQ(gGamestate.GetDiary(2)->GetEntryCount(), 0) << "the fireflies are a clue, not a remedy";

    // The clues: newest first and selected, one hint at a time; a picture from the start.
    Lua("SendDiaryMessage('clues')");
    EXPECT_EQ(TextOf("notes_list_header"), "Clues");
    EXPECT_EQ(TextOf("listtext"), "<outline color='fae296' size='2'><a id='fireflies' color='3c2c78'>Fireflies</a>"
                                  "</outline>\n\n<a id='roses' color='3c2c78'>The gardener</a>\n\n"
                                  "<a id='note' color='3c2c78'>The note</a>");
    ASSERT_NE(entry->GetPicture(), nullptr);
    EXPECT_EQ(TextOf("item_body"), "Fireflies gather where the path goes on." + kHintLink);
    EXPECT_FALSE(Shown("C_CLUES"));
    EXPECT_TRUE(Shown("C_SKETCHES"));
    Lua("SendDiaryMessage('go_left')");
    EXPECT_EQ(entry->GetPicture(), nullptr);
    EXPECT_EQ(TextOf("item_body"), "The gardener has looked after his roses for ten years." + kHintLink);
    EXPECT_TRUE(Shown("hintbutton"));
    Lua("SendDiaryMessage('hint')");
    EXPECT_EQ(TextOf("item_body"), "The gardener has looked after his roses for ten years.\n\n"
                                   "He has a lantern he might lend.\n\nThat is all I know so far.");
    EXPECT_FALSE(Shown("hintbutton"));
    TLogCapture log;
    Lua("SendDiaryMessage('hint')");
    EXPECT_NE(log.Text().find("No more bodies to unfold"), std::string::npos);
    EXPECT_EQ(gGamestate.GetDiary(0)->GetEntry(1)->unfolded, 1);
}

// The one tab that leads to the other notebook stands in the same place in both.
TEST_F(DiaryTest, TheOtherNotebooksTabStaysInPlace)
{
    for (const char* name : {"note", "sketch"})
        Write(name);
    OpenScreen("diary/primary.lua");
    auto shownTab = [this] {
        TRect rect{};
        for (const char* tab : {"C_CLUES", "C_SKETCHES", "C_PILLS"})
            if (TWindow* window = Find(tab); window && window->IsVisible())
                window->GetWindowRect(&rect);
        return rect;
    };
    const TRect onSketches = shownTab();
    Lua("SendDiaryMessage('clues')");
    const TRect onClues = shownTab();
    EXPECT_GT(onClues.right, onClues.left);
    EXPECT_EQ(onClues.left, onSketches.left);
    EXPECT_EQ(onClues.top, onSketches.top);
}

// Older and Newer show only where there is an entry to step to.
TEST_F(DiaryTest, OlderAndNewerShowOnlyWhereThereIsAnEntry)
{
    const struct
    {
        int entries;
        std::vector<const char*> messages;
        bool older, newer;
    } cases[] = {
        {0, {}, false, false},         {1, {}, false, false},        {2, {}, true, false},
        {2, {"go_left"}, false, true}, {3, {"go_left"}, true, true},
    };
    for (const auto& c : cases) {
        gGamestate.clear();
        Lua("for i = 1, " + std::to_string(c.entries) +
            " do BOOK_PRI:AddDiaryTableEntry{ 'e' .. i, 'Entry ' .. i } end");
        OpenScreen("diary/primary.lua");
        for (const char* message : c.messages)
            Lua(std::string("SendDiaryMessage('") + message + "')");
        EXPECT_EQ(Shown("older"), c.older) << c.entries << " entries";
        EXPECT_EQ(Shown("newer"), c.newer) << c.entries << " entries";
        wm->_PopModal();
    }
}

TEST_F(DiaryTest, AClickedTitleSelectsItsEntry)
{
    for (const char* name : {"note", "roses"})
        Write(name);
    OpenScreen("diary/primary.lua");
    EXPECT_EQ(TextOf("item_title"), "The gardener");
    Click(LinkPoint("listtext", "note"));
    EXPECT_EQ(m_nItem, 0);
    EXPECT_EQ(TextOf("item_title"), "The note");
    EXPECT_EQ(TextOf("listtext"), "<a id='roses' color='3c2c78'>The gardener</a>\n\n<outline color='fae296' "
                                  "size='2'><a id='note' color='3c2c78'>The note</a></outline>");
    // The hint link in the entry is for the hint button, not the list.
    Click(LinkPoint("item_body", "click_for_more"));
    EXPECT_EQ(gGamestate.GetDiary(0)->GetEntry(0)->unfolded, 0);
    EXPECT_EQ(m_nItem, 0);
}

TEST_F(DiaryTest, ArrowsStepThroughTheEntriesAndStopAtTheEnds)
{
    Lua("for i = 1, 3 do BOOK_PRI:AddDiaryTableEntry{ 'e' .. i, 'Entry ' .. i, 'line' } end");
    OpenScreen("diary/primary.lua");
    struct Step
    {
        const char* message;
        int item;
    };
    const Step steps[] = {{nullptr, 2},   {"go_right", 2}, {"go_left", 1},
                          {"go_left", 0}, {"go_left", 0},  {"go_right", 1}};
    for (const Step& s : steps) {
        if (s.message)
            Lua(std::string("SendDiaryMessage('") + s.message + "')");
        EXPECT_EQ(m_nItem, s.item) << (s.message ? s.message : "opened");
        EXPECT_EQ(TextOf("item_title"), "Entry " + std::to_string(s.item + 1));
    }
    TLogCapture log;
    Lua("SendDiaryMessage('sideways')");
    EXPECT_NE(log.Text().find("Unknown message sideways"), std::string::npos);
}

TEST_F(DiaryTest, AllPictureEntryShowsTheLastPictureAndAMissingOneIsLogged)
{
    Lua("BOOK_PRI:AddDiaryTableEntry{ 'pics', 'Pictures', '*fireflies', '*lantern_sketch', '*no_such_picture' }");
    TLogCapture log;
    OpenScreen("diary/primary.lua");
    auto* entry = GetCast<tWindowItemEntry>(Find("entry_window"));
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(entry->GetPicture(), nullptr);
    EXPECT_NE(std::string(entry->GetPicture()->GetTexture()->GetName().c_str()).find("lantern_sketch"),
              std::string::npos);
    EXPECT_NE(log.Text().find("Failed to load diary/no_such_picture"), std::string::npos);
    EXPECT_EQ(TextOf("item_body"), kHintLink);
}

TEST_F(DiaryTest, ScriptTextsShowAsWrittenAndKeysSurviveTheirLinks)
{
    // Markup characters, quotes and Lua in keys, titles and lines.
    Lua("BOOK_PRI:AddDiaryTableEntry{ \"it's <mine>\", \"<b>Bold</b> \\\\ 'q'\", \"<a id='evil'>x</a>\" }");
    Lua("BOOK_PRI:AddDiaryTableEntry{ 'plain', \"]]; gHacked = true; --[[\", 'fine' }");
    OpenScreen("diary/primary.lua");
    EXPECT_EQ(TextOf("listtext"), "<outline color='fae296' size='2'><a id='plain' color='3c2c78'>]]; gHacked = true; "
                                  "--[[</a></outline>\n\n<a id='it%27s%20%3Cmine%3E' color='3c2c78'>\\<b>Bold\\</b> "
                                  "\\\\ 'q'</a>");
    Click(LinkPoint("listtext", "it%27s%20%3Cmine%3E"));
    EXPECT_EQ(m_nItem, 0);
    EXPECT_EQ(TextOf("item_title"), "\\<b>Bold\\</b> \\\\ 'q'");
    EXPECT_EQ(TextOf("item_body").substr(0, 16), "\\<a id='evil'>x\\");
    // The text shows its characters: no link of the script's making.
    TText* body = GetCast<TText>(Find("item_body"));
    for (const auto& line : body->GetGraphic()->GetLines()) {
        for (const TTextRun& run : line->runs) {
            EXPECT_NE(std::string(run.linkId.c_str()), "evil");
        }
    }
    EXPECT_FALSE(LuaTrue("gHacked"));
}

// An entry of a megabyte, its title and its page (as a save may hold them), opens the diary and
// draws its first frame at once.
TEST_F(DiaryTest, AMegabyteEntryOpensTheDiaryAtOnce)
{
    Lua("local page = string.rep('word ', 200000); BOOK_PRI:AddDiaryTableEntry{ 'big', page, page }");
    const double start = ThreadCpuSeconds();
    OpenScreen("diary/primary.lua");
    Send(TEvent::kIdle);
    EXPECT_LT(ThreadCpuSeconds() - start, 1.0 * kCpuBoundScale);
    EXPECT_GE(TextOf("item_body").size(), 1000000u);
    EXPECT_GT(GetCast<TText>(Find("listtext"))->GetLineCount(), 1000);
}

// The string table's texts are the writer's: their colour and outline tags are drawn, not shown.
TEST_F(DiaryTest, StringTableTextsKeepTheirMarkup)
{
    AddTableTexts({{"clue_red", "&lt;font color='ff0000'&gt;Red&lt;/font&gt; ink"},
                   {"clue_red_title", "&lt;outline color='000000' size='2'&gt;Ink&lt;/outline&gt;"}});
    Lua("BOOK_PRI:AddDiaryEntry('red', 'clue_red_title', 'clue_red')");
    OpenScreen("diary/primary.lua");
    const std::string title = "<outline color='000000' size='2'>Ink</outline>";
    EXPECT_EQ(TextOf("item_body").rfind("<font color='ff0000'>Red</font> ink\n\n", 0), 0u) << TextOf("item_body");
    EXPECT_EQ(TextOf("item_title"), title);
    EXPECT_NE(TextOf("listtext").find(">" + title + "</a>"), std::string::npos) << TextOf("listtext");
    wm->_PopModal();
    OpenScreen("diary/quests.lua");
    auto* page = GetCast<tDiaryWindow>(Find("diarypage"));
    ASSERT_NE(page, nullptr);
    page->SetPage(0);
    EXPECT_EQ(TextOf("diary_header"), "Diary: " + title);
}

// So do a quest's title and body from the table; a script's own words show as written.
TEST_F(DiaryTest, QuestTextsFromTheTableKeepTheirMarkup)
{
    AddTableTexts({{"quest_red", "&lt;font color='ff0000'&gt;Red&lt;/font&gt; quest"},
                   {"quest_red_body", "&lt;font color='ff0000'&gt;Red&lt;/font&gt; ink"}});
    Lua("quest:AddQuest('raw', '<Raw>', 'x', 'icons/x'); quest:AddQuest('red', 'quest_red', 'quest_red_body', "
        "'icons/red')");
    OpenScreen("diary/quests.lua");
    const std::string red = "<font color='ff0000'>Red</font> quest";
    EXPECT_EQ(TextOf("quest_list"),
              "1. <a id='raw' color = 'ffffffff'>\\<Raw></a>\n2. <a id='red' color = 'ffffffff'>" + red + "</a>\n");
    Click(LinkPoint("quest_list", "red"));
    EXPECT_EQ(TextOf("diary_header"), red);
    EXPECT_EQ(TextOf("diary_entry"), "<font color='ff0000'>Red</font> ink");
}

// The layouts may hold their lists in the engine's text window, as in the game's own.
TEST_F(DiaryTest, ListLinksReachTheDiaryWhateverTheirTextWindow)
{
    for (const char* type : {"Text", "tDiaryText"}) {
        SCOPED_TRACE(type);
        gGamestate.clear();
        for (const char* name : {"note", "roses"})
            Write(name);
        Lua("quest:AddQuest('a', 'First', 'Do the first', 'icons/a'); quest:AddQuest('b', 'Second', 'Do the"
            " second', 'icons/b')");
        const std::string font = "font = { 'fonts/default.mvec', 18 }";
        Layout(std::string("tWindowItemList{ name = 'itemlist', w = 320, h = 440, ") + type +
               "{ name = 'listtext', y = 44, w = 296, h = 340, " + font +
               " } }, tWindowItemEntry{ name ="
               " 'entry_window', x = 400, w = 320, h = 400, Text{ name = 'item_title', w = 320, h = 34, " +
               font + " } }");
        Click(LinkPoint("listtext", "note"));
        EXPECT_EQ(TextOf("item_title"), "The note");
        wm->_PopModal();
        Layout(std::string("tDiaryWindow{ name = 'diarypage', w = 700, h = 400, ") + type +
               "{ name = 'quest_list', y = 44, w = 320, h = 340, " + font + " }, " + type +
               "{ name = 'diary_entry', x = 368, y = 44, w = 320, h = 340, " + font + " } }");
        Click(LinkPoint("quest_list", "b"));
        EXPECT_EQ(TextOf("diary_entry"), "Do the second");
        wm->_PopModal();
    }
}

TEST_F(DiaryTest, QuestPageNumbersTheQuestsAndShowsTheOneClicked)
{
    Lua("quest:AddQuest('a', 'First', 'Do the first', 'icons/a');"
        "quest:AddQuest('b', 'Second', 'Do the second', 'icons/b');"
        "quest:AddQuest('c', '<Third>', 'Do the third', 'icons/c');"
        "quest:CompleteQuest('b')");
    Write("note");
    OpenScreen("diary/quests.lua");
    EXPECT_EQ(TextOf("quest_list"), "1. <a id='a' color = 'ffffffff'>First</a>\n"
                                    "[x] <a id='b' color = 'ffffffff'>Second</a>\n"
                                    "3. <a id='c' color = 'ffffffff'>\\<Third></a>\n");
    // Until a quest is picked the page says what to do, not the title of a book's entry.
    EXPECT_EQ(TextOf("diary_header"), "What Mira knows");
    EXPECT_EQ(TextOf("diary_entry"), "Pick a quest on the slate to read what Mira knows about it.");
    // The way back names the page it turns to.
    TText* back = GetCast<TText>(Find("notebooks")->GetChildWindow("label", 1));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetText(), GlocalisedString("cover_item_notes_clues"));
    Click(LinkPoint("quest_list", "c"));
    EXPECT_EQ(TextOf("diary_header"), "\\<Third>");
    EXPECT_EQ(TextOf("diary_entry"), "Do the third");
}

TEST_F(DiaryTest, PageOpensTheNewestBookAndTurnsWithinIt)
{
    struct Case
    {
        std::vector<const char*> written;
        int book;
    };
    const Case cases[] = {
        {{}, 0}, {{"BOOK_PRI"}, 0}, {{"BOOK_SEC"}, 1}, {{"BOOK_EDU"}, 2}, {{"BOOK_SEC", "BOOK_EDU"}, 2}};
    for (const Case& c : cases) {
        gGamestate.clear();
        for (const char* book : c.written)
            Lua(std::string(book) + ":AddDiaryTableEntry{ 'e', 'Entry' }");
        OpenScreen("diary/quests.lua");
        auto* page = GetCast<tDiaryWindow>(Find("diarypage"));
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetBook(), gGamestate.GetDiary(c.book));
        EXPECT_FALSE(page->GetBook()->HasNewEntry());
        wm->_PopModal();
    }

    // A page with its arrows, as a layout may give it (the demo's quest page has none).
    const std::string layout =
        "tDiaryWindow{ name = 'diarypage', w = 700, h = 400, Text{ name = 'diary_header', w = 320,"
        " h = 34 }, Button{ name = 'left_arrow', y = 300, w = 40, h = 40 }, Button{ name ="
        " 'right_arrow', x = 100, y = 300, w = 40, h = 40 } }";
    // An empty book: empty texts, no arrows.
    gGamestate.clear();
    Layout(layout);
    EXPECT_EQ(TextOf("diary_header"), "");
    EXPECT_FALSE(Shown("left_arrow"));
    EXPECT_FALSE(Shown("right_arrow"));
    wm->_PopModal();

    Lua("for i = 1, 3 do BOOK_PRI:AddDiaryTableEntry{ 'p' .. i, 'Page ' .. i } end");
    Layout(layout);
    auto* page = GetCast<tDiaryWindow>(Find("diarypage"));
    ASSERT_NE(page, nullptr);
    struct Step
    {
        int key;  // 0: a message instead
        const char* message;
        int page;
        bool left, right;
    };
    const Step steps[] = {
        {0, nullptr, 2, true, false},
        {TEvent::kRight, nullptr, 2, true, false},
        {TEvent::kLeft, nullptr, 1, true, true},
        {0, "go_left", 0, false, true},
        {0, "go_left", 0, false, true},
        {0, "go_right", 1, true, true},
    };
    for (const Step& s : steps) {
        if (s.key) {
            EXPECT_TRUE(page->OnKeyDown(char(s.key), 0));
        }
        if (s.message)
            Lua(std::string("SendDiaryMessage('") + s.message + "')");
        EXPECT_EQ(page->GetPage(), s.page);
        EXPECT_EQ(TextOf("diary_header"), "Diary: Page " + std::to_string(s.page + 1));
        EXPECT_EQ(Shown("left_arrow"), s.left);
        EXPECT_EQ(Shown("right_arrow"), s.right);
    }
    EXPECT_TRUE(page->OnKeyDown(char(TEvent::kEscape), 0));
    EXPECT_FALSE(page->OnKeyDown('a', 0));
}

TEST_F(DiaryTest, TheMessageFunctionGoesWithItsWindowAndFollowsTheScreenTurned)
{
    Write("note");
    OpenScreen("diary/primary.lua");
    ASSERT_TRUE(LuaTrue("SendDiaryMessage ~= nil"));
    Lua("keptList = SendDiaryMessage");
    // Turning the page makes the page window's; it goes on working after the list is gone.
    Lua("SwapToModal('diary/quests.lua')");
    now += 20;
    Send(TEvent::kIdle);
    ASSERT_NE(Find("diarypage"), nullptr);
    EXPECT_EQ(Find("itemlist"), nullptr);
    TLogCapture log;
    Lua("SendDiaryMessage('hint')");
    EXPECT_NE(log.Text().find("Unknown message hint"), std::string::npos) << "the page window answers";
    Lua("keptPage = SendDiaryMessage; keptList('go_left')");
    wm->_PopModal();
    now += 20;
    Send(TEvent::kIdle);
    EXPECT_TRUE(LuaTrue("SendDiaryMessage == nil"));
    Lua("keptPage('go_left')");  // kept copies find their windows gone
}

// Turning between the notebooks and the quest page keeps the book where it lies on screen.
TEST_F(DiaryTest, TurnedPagesKeepTheBookInPlace)
{
    Write("note");
    OpenScreen("diary/primary.lua");
    auto corner = [this] {
        TPoint at(0, 0);
        if (TWindow* book = Find("diary"))
            book->ClientToScreen(&at);
        return at;
    };
    const TPoint first = corner();
    EXPECT_EQ(first, TPoint(20, 30)) << "centred on the 800 x 600 screen";
    for (const char* file : {"diary/quests.lua", "diary/primary.lua"}) {
        Lua(std::string("SwapToModal('") + file + "')");
        EXPECT_EQ(corner(), first) << file;
    }
}

}  // namespace
