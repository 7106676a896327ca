#include "game/world/awards/awards_manager.h"
#include "game/world/state/gamestate.h"

#include "../fake_scene.h"
#include "../prefs_fixture.h"
#include "common/log_capture.h"
#include "common/unprivileged.h"
#include "online/scores/zv_hiscores.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SaveLoad : public WorldPrefsTest
{
public:
    // A state with something in every list, a diary line past the digits, and an item in use.
    static void Fill(tGamestate& g)
    {
        g.SetScene("hall", true);
        g.SetScene("garden", true);
        g.Set("b", -5);
        g.Set("a", 12);
        g.SetString("conv", "yes");
        g.SetString("mood", "calm");
        tInventoryEntry key;
        key.text = "A brass key";
        key.anim = "items/key";
        key.cursor = "cursors/key";
        key.cantuse = "It does not fit.";
        key.hotX = 4.75f, key.hotY = -2.0f;
        key.parameter = 17;
        g.GetBag(BAG_INV)->AddInventory("key", key, false);
        g.GetBag(BAG_INV)->AddInventory("apple", tInventoryEntry(), false);
        g.GetBag(BAG_MAGIC)->AddInventory("spark", key, false);
        tDiaryEntry clue{"clue", "The gate", {}, 2};
        for (int i = 0; i < 12; ++i)
            clue.body.push_back(str::getFormatted("clue_%d", i));
        g.GetDiary(BOOK_PRI)->AddDiaryEntry(clue);
        g.GetDiary(BOOK_EDU)->AddDiaryEntry(tDiaryEntry{"plant", "Roses", {"rose_1"}, 0});
        g.GetQuests().Add("find", tQuestEntry{"find", "icons/find", "Find it", "Somewhere", false});
        g.GetQuests().Add("ask", tQuestEntry{"ask", "icons/ask", "Ask", "Someone", true});
        g_DiaryEnabled = false;
        g_HUDEnabled = true;
        g_DefaultInventoryWindowText = "obj_key";
    }

    static void ExpectEqual(tGamestate& a, tGamestate& b)
    {
        EXPECT_EQ(a.Variables(), b.Variables());
        EXPECT_EQ(a.Strings(), b.Strings());
        EXPECT_EQ(S(a.GetCurrentScene()), S(b.GetCurrentScene()));
        EXPECT_EQ(S(a.GetLastScene()), S(b.GetLastScene()));
        EXPECT_EQ(S(a.GetInvUsage_Raw()), S(b.GetInvUsage_Raw()));
        for (int bag = 0; bag < kBagCount; ++bag) {
            const auto& x = a.GetBag(bag)->Items();
            const auto& y = b.GetBag(bag)->Items();
            ASSERT_EQ(x.size(), y.size()) << "bag " << bag;
            for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j) {
                EXPECT_EQ(S(i->first), S(j->first));
                EXPECT_EQ(S(i->second.text), S(j->second.text));
                EXPECT_EQ(S(i->second.anim), S(j->second.anim));
                EXPECT_EQ(S(i->second.cursor), S(j->second.cursor));
                EXPECT_EQ(S(i->second.cantuse), S(j->second.cantuse));
                EXPECT_EQ(int(i->second.hotX), j->second.hotX);  // saved truncated
                EXPECT_EQ(int(i->second.hotY), j->second.hotY);
                EXPECT_EQ(i->second.parameter, j->second.parameter);
            }
        }
        for (int book = 0; book < kBookCount; ++book) {
            tDiary* x = a.GetDiary(book);
            tDiary* y = b.GetDiary(book);
            ASSERT_EQ(x->GetEntryCount(), y->GetEntryCount()) << "book " << book;
            for (int i = 0; i < x->GetEntryCount(); ++i) {
                EXPECT_EQ(S(x->GetEntry(i)->key), S(y->GetEntry(i)->key));
                EXPECT_EQ(S(x->GetEntry(i)->title), S(y->GetEntry(i)->title));
                EXPECT_EQ(x->GetEntry(i)->body, y->GetEntry(i)->body);
                EXPECT_EQ(x->GetEntry(i)->unfolded, y->GetEntry(i)->unfolded);
            }
        }
        ASSERT_EQ(a.GetQuests().size(), b.GetQuests().size());
        for (auto i = a.GetQuests().begin(), j = b.GetQuests().begin(); i != a.GetQuests().end(); ++i, ++j) {
            EXPECT_EQ(S(i->second.key), S(j->second.key));
            EXPECT_EQ(S(i->second.anim), S(j->second.anim));
            EXPECT_EQ(S(i->second.title), S(j->second.title));
            EXPECT_EQ(S(i->second.body), S(j->second.body));
            EXPECT_EQ(i->second.complete, j->second.complete);
        }
    }

    std::string Dump()
    {
        const std::string cmd = std::string(TV_PREFSDUMP_PATH) + " " + Path("prefs.dat");
        std::string out;
        FILE* p = popen(cmd.c_str(), "r");
        EXPECT_NE(p, nullptr);
        char buf[4096];
        size_t n;
        while (p && (n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        if (p) {
            EXPECT_EQ(pclose(p), 0) << out;
        }
        return out;
    }
};

TEST_F(SaveLoad, RoundTripThroughTheFile)
{
    {
        TPrefs other(true);
        other.SetStr("V:S0:I0:key", "theirs", 0, false);
        other.SetStr("S0:SCENE", "their scene", 0, true);
    }
    tGamestate saved;
    {
        FakeScene scene;
        Fill(saved);
        saved.UseInventory(BAG_MAGIC, 0);
        TPrefs prefs(true);
        ASSERT_TRUE(saved.SaveGame(prefs, 0, 1));
    }
    const std::string dump = Dump();
    const char* expected[] = {
        "  slot 1 (user 0)\n    S0:SCENE = their scene\n    V:S0:I0:key = theirs\n",
        "    V:S0:I0:key = a\n    V:S0:I0:value = 12\n    V:S0:I1:key = b\n    V:S0:I1:value = -5\n    V:S0:I2:key = "
        "\n",
        "    S:S0:I0:key = conv\n",
        "    S:S0:I2:key = \n",
        "    D:S0:I0:B[BOOK_PRI]body0 = clue_0\n",
        "    D:S0:I0:B[BOOK_PRI]body: = clue_10\n    D:S0:I0:B[BOOK_PRI]body; = clue_11\n",
        "    D:S0:I0:B[BOOK_PRI]bodycount = 2\n",
        "    D:S0:I0:B[BOOK_SEC]key = \n",
        "    I:S0:I1:B[BAG_INV]cursor_x = 4\n    I:S0:I1:B[BAG_INV]cursor_y = -2\n",
        "    I:S0:I1:B[BAG_INV]parameter = 17\n",
        "    I:S0:I2:B[BAG_INV]key = \n",
        "    Q:S0:I0anim = icons/ask\n    Q:S0:I0body = Someone\n    Q:S0:I0complete = 1\n    Q:S0:I0key = ask\n",
        "    Q:S0:I2key = \n",
        "    S0:IUSE = spark\n    S0:LASTSCENE = hall\n    S0:SCENE = garden\n",
        "    DIARY = 0\n    DINVTEXT = obj_key\n    HUDENABLED = 1\n",
    };
    for (const char* e : expected)
        EXPECT_NE(dump.find(e), std::string::npos) << e << "\nin\n" << dump;

    g_DiaryEnabled = true;
    g_DefaultInventoryWindowText = "obj_nelka";
    TPrefs prefs(false);
    tGamestate loaded;
    loaded.Set("stale", 1);
    ASSERT_TRUE(loaded.IsSavedGamePresent(prefs, 0, 1));
    EXPECT_FALSE(loaded.IsSavedGamePresent(prefs, 0, 2));
    EXPECT_FALSE(loaded.IsSavedGamePresent(prefs, 1, 1));
    ASSERT_TRUE(loaded.LoadGame(prefs, 0, 1));
    ExpectEqual(saved, loaded);
    EXPECT_EQ(loaded.GetBagInUse(), -1);
    EXPECT_TRUE(loaded.GetQuests().GetSelected().empty());
    EXPECT_FALSE(g_DiaryEnabled);
    EXPECT_EQ(S(g_DefaultInventoryWindowText), "obj_key");
    EXPECT_EQ(S(prefs.GetStr("V:S0:I0:key", "", 0)), "theirs");
}

TEST_F(SaveLoad, AShorterSaveEndsItsListsAtTheMarker)
{
    TPrefs prefs(false);
    tGamestate g;
    Fill(g);
    g.SaveGame(prefs, 0, 0);
    g.clear();
    g.Set("only", 1);
    g.SaveGame(prefs, 0, 0);
    tGamestate loaded;
    loaded.LoadGame(prefs, 0, 0);
    ExpectEqual(g, loaded);
    EXPECT_EQ(S(prefs.GetStr("V:S0:I1:key", "absent", 0)), "");
    EXPECT_EQ(S(prefs.GetStr("V:S0:I2:key", "", 0)), "");
}

TEST_F(SaveLoad, EmptyKeysAreRefusedAndTheRestKept)
{
    TPrefs prefs(false);
    tGamestate g;
    g.Set("", 1);
    g.Set("after", 2);
    g.SetString("", "x");
    g.SetString("later", "y");
    g.GetBag(0)->AddInventory("", tInventoryEntry(), false);
    g.GetBag(0)->AddInventory("kept", tInventoryEntry(), false);
    g.GetQuests().Add("", tQuestEntry());
    g.GetQuests().Add("q", tQuestEntry{"q", "", "", "", false});
    g.GetDiary(0)->AddDiaryEntry(tDiaryEntry{"", "no key", {}, 0});
    g.GetDiary(0)->AddDiaryEntry(tDiaryEntry{"d", "keyed", {}, 0});
    TLogCapture log;
    g.SaveGame(prefs, 0, 0);
    const std::string text = log.Text();
    EXPECT_NE(text.find("a script variable with an empty name is not saved"), std::string::npos) << text;
    EXPECT_NE(text.find("an inventory item with an empty name is not saved"), std::string::npos);
    EXPECT_NE(text.find("a quest with an empty name is not saved"), std::string::npos);
    EXPECT_NE(text.find("a diary entry with an empty name is not saved"), std::string::npos);

    tGamestate loaded;
    loaded.LoadGame(prefs, 0, 0);
    EXPECT_EQ(loaded.Get("after"), 2);
    EXPECT_EQ(S(loaded.GetString("later")), "y");
    EXPECT_TRUE(loaded.GetBag(0)->CheckInventory("kept"));
    EXPECT_EQ(loaded.GetQuests().Check("q"), 1);
    EXPECT_EQ(loaded.GetDiary(0)->GetEntryByName("d"), 0);
}

TEST_F(SaveLoad, NeverSavedReadsAsAnEmptyGame)
{
    TPrefs prefs(false);
    g_DefaultInventoryWindowText = "obj_nelka";
    g_HUDEnabled = false;
    tGamestate g;
    g.Set("x", 1);
    EXPECT_FALSE(g.IsSavedGamePresent(prefs, 0, 3));
    EXPECT_TRUE(g.LoadGame(prefs, 0, 3));
    EXPECT_TRUE(g.Variables().empty());
    EXPECT_TRUE(g.GetCurrentScene().empty());
    EXPECT_TRUE(g_HUDEnabled);
    EXPECT_TRUE(g.GetInvUsage_Raw().empty());
    EXPECT_EQ(S(g_DefaultInventoryWindowText), "");
}

TEST_F(SaveLoad, FailedSavesAreReportedAndKeepThePreviousSave)
{
    {
        TPrefs prefs(true);
        tGamestate g;
        Fill(g);
        ASSERT_TRUE(g.SaveGame(prefs, 0, 0));
    }
    const std::vector<char> before = Prefs();

    {  // the file system refuses bytes past 4 KiB half way through the write
        TPrefs prefs(true);
        tGamestate g;
        Fill(g);
        g.SetString("big", std::string(100000, 'z').c_str());
        signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit tight = old;
        tight.rlim_cur = 4096;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
        const bool saved = g.SaveGame(prefs, 0, 0);
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, SIG_DFL);
        EXPECT_FALSE(saved);
    }
    EXPECT_EQ(Prefs(), before);

    chmod(mDir.c_str(), 0555);  // a read-only folder
    RunUnprivileged(mDir, [&] {
        TPrefs prefs(true);
        tGamestate g;
        Fill(g);
        g.Set("newer", 1);
        TLogCapture log;
        EXPECT_FALSE(g.SaveGame(prefs, 0, 0));
        EXPECT_NE(log.Text().find("the game is not saved"), std::string::npos);
        EXPECT_EQ(Prefs(), before);
    });
    chmod(mDir.c_str(), 0755);

    TPrefs prefs(false);
    tGamestate expected, loaded;
    Fill(expected);
    ASSERT_TRUE(loaded.LoadGame(prefs, 0, 0));
    ExpectEqual(expected, loaded);
    EXPECT_EQ(loaded.Get("newer"), 0);
}

TEST_F(SaveLoad, DamagedFileIsKeptAsideBeforeAnythingIsWritten)
{
    {
        TPrefs prefs(true);
        tGamestate g;
        Fill(g);
        ASSERT_TRUE(g.SaveGame(prefs, 0, 0));
    }
    std::vector<char> damaged = Prefs();
    damaged.resize(damaged.size() - 7);
    WritePrefs(damaged);

    TLogCapture log;
    TPrefs prefs(true);
    EXPECT_TRUE(prefs.IsDamaged());
    EXPECT_EQ(ReadRaw("prefs.dat.bad"), damaged);
    tGamestate g;
    g.LoadGame(prefs, 0, 0);
    EXPECT_TRUE(g.SaveGame(prefs, 0, 0));
    EXPECT_EQ(ReadRaw("prefs.dat.bad"), damaged);
    EXPECT_NE(log.Text().find("prefs.dat"), std::string::npos);
}

// A file written before the save's end would hold its first keys beside the previous save's
// quests; a program killed between two such writes would leave that mix on the disk.
TEST_F(SaveLoad, ASaveReachesTheFileInOneWrite)
{
    TPrefs prefs(true);
    tGamestate g;
    Fill(g);
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, mDir.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE), 0);
    ASSERT_TRUE(g.SaveGame(prefs, 0, 0));
    int replaced = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(p);
            if ((e->mask & IN_MOVED_TO) && std::string(e->name) == "prefs.dat")
                ++replaced;
            p += sizeof(inotify_event) + e->len;
        }
    }
    close(watch);
    EXPECT_EQ(replaced, 1);
}

// A sub-scene's name is no scene to continue in: saved inside one, the game goes on under it.
// Its end takes the way back it allowed.
TEST_F(SaveLoad, ASaveInsideASubSceneContinuesUnderIt)
{
    TPrefs prefs(true);
    tGamestate g;
    g.SetScene("garden", true);
    g.SetScene("forest", true);
    g.EnterSubScene("puzzle");
    g.EnterSubScene("board");  // another, loaded into the same sub-scene
    g.SetReturnFromScene("forest");
    EXPECT_EQ(S(g.GetCurrentScene()), "board");
    ASSERT_TRUE(g.SaveGame(prefs, 0, 0));
    EXPECT_EQ(S(prefs.GetStr("S0:SCENE", "", 0)), "forest");
    EXPECT_EQ(S(prefs.GetStr("S0:LASTSCENE", "", 0)), "garden");
    g.EndSubScene();
    EXPECT_FALSE(g.CanReturnFromScene());
    g.SetScene("forest", true);
    g.SetScene("clearing", true);
    ASSERT_TRUE(g.SaveGame(prefs, 0, 0));
    EXPECT_EQ(S(prefs.GetStr("S0:SCENE", "", 0)), "clearing");
    EXPECT_EQ(S(prefs.GetStr("S0:LASTSCENE", "", 0)), "forest");
}

TEST_F(SaveLoad, ScriptSavesGoToTheCurrentPlayerOnly)
{
    TPrefs prefs(true);
    SetGamePrefs(&prefs);
    gGamestate.clear();
    gGamestate.SetScene("porch", true);
    EXPECT_FALSE(lf_SaveGame());  // no current player yet
    EXPECT_FALSE(lf_IsSavedGamePresent());
    EXPECT_EQ(prefs.GetNumUsers(), 0u);

    prefs.SetInt("curuser", 1, -1, false);
    EXPECT_TRUE(lf_SaveGame());
    EXPECT_TRUE(lf_IsSavedGamePresent());
    EXPECT_EQ(S(prefs.GetStr("S0:SCENE", "", 1)), "porch");
    EXPECT_EQ(S(prefs.GetStr("S0:SCENE", "", 0)), "");
    EXPECT_EQ(S(prefs.GetStr("S0:SCENE", "", -1)), "");

    gGamestate.SetScene("elsewhere", true);
    EXPECT_TRUE(lf_LoadGame());
    EXPECT_EQ(S(gGamestate.GetCurrentScene()), "porch");
    SetGamePrefs(nullptr);
}

}  // namespace
