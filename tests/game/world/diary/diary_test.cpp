#include "game/world/diary/diary.h"

#include "../prefs_fixture.h"
#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

tDiaryEntry Entry(const char* key, const char* title, std::vector<str> body = {})
{
    tDiaryEntry e;
    e.key = key;
    e.title = title;
    e.body = std::move(body);
    return e;
}

TEST(Diary, SameKeyReplacesInPlace)
{
    tDiary d;
    d.AddDiaryEntry(Entry("a", "A"));
    d.AddDiaryEntry(Entry("b", "B"));
    EXPECT_TRUE(d.HasNewEntry());
    d.clear();
    EXPECT_FALSE(d.HasNewEntry());
    d.AddDiaryEntry(Entry("a", "A"));
    d.AddDiaryEntry(Entry("b", "B"));
    tDiaryEntry again = Entry("a", "A2", {"x"});
    again.unfolded = 1;
    d.AddDiaryEntry(again);
    ASSERT_EQ(d.GetEntryCount(), 2);
    EXPECT_EQ(d.GetEntryByName("a"), 0);
    EXPECT_EQ(std::string(d.GetEntry(0)->title.c_str()), "A2");
    EXPECT_EQ(d.GetEntry(0)->unfolded, 1);
    EXPECT_EQ(d.GetEntryByName("c"), -1);
    EXPECT_EQ(d.GetEntry(2), nullptr);
}

TEST(Diary, RemoveMatchesTitles)
{
    tDiary d;
    d.AddDiaryEntry(Entry("a", "same"));
    d.AddDiaryEntry(Entry("b", "other"));
    d.AddDiaryEntry(Entry("c", "same"));
    d.RemoveDiaryEntry("a");
    EXPECT_EQ(d.GetEntryCount(), 3);
    d.RemoveDiaryEntry("same");
    ASSERT_EQ(d.GetEntryCount(), 1);
    EXPECT_EQ(d.GetEntryByName("b"), 0);
}

TEST(Diary, NoString)
{
    EXPECT_TRUE(tDiary::NoString(""));
    EXPECT_TRUE(tDiary::NoString("#####"));
    EXPECT_FALSE(tDiary::NoString("clue"));
}

using DiarySave = WorldPrefsTest;

TEST_F(DiarySave, BodyLineKeysAndEmptyLines)
{
    TPrefs prefs(false);
    tDiary d;
    d.SetName("BOOK_SEC");
    std::vector<str> body;
    for (int i = 0; i < 11; ++i)
        body.push_back(str::getFormatted("line%d", i));
    body.insert(body.begin() + 2, str());  // would end the lines on reading
    tDiaryEntry e = Entry("k", "T", body);
    e.unfolded = 4;
    d.AddDiaryEntry(e);
    d.SaveGame(prefs, 0, 2);

    const str p = "D:S0:I0:B[BOOK_SEC]";
    EXPECT_EQ(S(prefs.GetStr(p + "body0", "", 2)), "line0");
    EXPECT_EQ(S(prefs.GetStr(p + "body2", "", 2)), "line2");
    EXPECT_EQ(S(prefs.GetStr(p + "body:", "", 2)), "line10");
    EXPECT_EQ(S(prefs.GetStr(p + "bodycount", "", 2)), "4");
    EXPECT_EQ(S(prefs.GetStr("D:S0:I1:B[BOOK_SEC]key", "absent", 2)), "");

    tDiary back;
    back.SetName("BOOK_SEC");
    ASSERT_TRUE(back.LoadGame(prefs, 0, 2));
    ASSERT_EQ(back.GetEntryCount(), 1);
    body.erase(body.begin() + 2);
    EXPECT_EQ(back.GetEntry(0)->body, body);
    EXPECT_EQ(back.GetEntry(0)->unfolded, 4);
    EXPECT_FALSE(back.HasNewEntry());
}

TEST_F(DiarySave, OlderSingleBodyKeyComesFirst)
{
    TPrefs prefs(false);
    const str p = "D:S0:I0:B[BOOK_PRI]";
    prefs.SetStr(p + "key", "old", 0, false);
    prefs.SetStr(p + "body", "first", 0, false);
    prefs.SetStr(p + "body0", "second", 0, false);
    tDiary d;
    d.SetName("BOOK_PRI");
    d.LoadGame(prefs, 0, 0);
    ASSERT_EQ(d.GetEntryCount(), 1);
    EXPECT_EQ(d.GetEntry(0)->body, (std::vector<str>{"first", "second"}));
}

}  // namespace

namespace {

TEST_F(DiarySave, LinesPastTheLastKeyCharacterAreNotSaved)
{
    TPrefs prefs(false);
    tDiary d;
    d.SetName("BOOK_PRI");
    std::vector<str> body;
    for (int i = 0; i < 300; ++i)
        body.push_back(str::getFormatted("l%d", i));
    d.AddDiaryEntry(Entry("k", "T", body));
    TLogCapture log;
    d.SaveGame(prefs, 0, 0);
    EXPECT_NE(log.Text().find("diary entry k keeps only its first 208 body lines"), std::string::npos);
    // Line 208 would have wrapped to the unnumbered key of older saves.
    EXPECT_EQ(S(prefs.GetStr("D:S0:I0:B[BOOK_PRI]body", "none", 0)), "none");
    tDiary back;
    back.SetName("BOOK_PRI");
    back.LoadGame(prefs, 0, 0);
    ASSERT_EQ(back.GetEntryCount(), 1);
    body.resize(208);
    EXPECT_EQ(back.GetEntry(0)->body, body);
}

}  // namespace
