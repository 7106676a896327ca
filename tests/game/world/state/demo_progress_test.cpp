// The demo's progress data played through the script objects, saved, and resumed after a
// restart: everything the player kept comes back from the preferences and score files.

#include "game/world/awards/awards_manager.h"
#include "game/world/sound/sfx_lua.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "game/world/state/gamestate_lua.h"

#include "../fake_scene.h"
#include "../lua_run.h"
#include "../prefs_fixture.h"
#include "common/log_capture.h"
#include "online/scores/zv_hiscores.h"

#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <memory>

namespace {

class DemoProgress : public WorldPrefsTest
{
public:
    void SetUp() override
    {
        WorldPrefsTest::SetUp();
        TFile::mResourceDir = TV_ASSETS_RESOURCE_DIR;
        TFile::ScanForResources();
        scene.strings = {{"diary_note", "x"}, {"diary_note_1", "x"}, {"diary_note_2", "x"}};
    }
    void TearDown() override
    {
        Quit();
        TFile::mResourceDir = "";
        WorldPrefsTest::TearDown();
    }

    // One run of the program: its stores, the score tables and a script state with the
    // demo's data and the game's objects.
    void Start()
    {
        prefs = std::make_unique<TPrefs>(true);
        prefs->SetInt("curuser", 0, -1, false);
        SetGamePrefs(prefs.get());
        tables = std::make_unique<TZvHiscores>(true);
        tables->SetProperty(TZvHiscores::kPropUserName, "mira");
        gAwardsManager.SetScoreTables(tables.get());
        L = lua_open();
        const std::string progress = std::string(TV_TEST_SOURCE_DIR) + "/assets/quest/progress.lua";
        ASSERT_EQ(luaL_loadfile(L, progress.c_str()) || lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
        gAwardsManager.InitializeAwardInfo(L);
        AddInstanceToLua(gGamestate, L);
        AddSFXToLua(g_SFXManager, L);
    }
    void Quit()
    {
        if (L)
            lua_close(L);
        L = nullptr;
        gAwardsManager.SetScoreTables(nullptr);
        gAwardsManager.InitializeAwardInfo(nullptr);
        SetGamePrefs(nullptr);
        tables.reset();
        prefs.reset();
        gGamestate.clear();
        gGamestate.SetScene("", false);
        gGamestate.SetScene("", true);
    }
    std::string Run(const char* code) { return RunLua(L, code); }
    std::string Global(const char* name) { return LuaGlobal(L, name); }

    FakeScene scene;
    std::unique_ptr<TPrefs> prefs;
    std::unique_ptr<TZvHiscores> tables;
    lua_State* L = nullptr;
};

TEST_F(DemoProgress, PlayQuitStartAgainResume)
{
    Start();
    EXPECT_EQ(gAwardsManager.GetAwardCount(), 12);
    int total = 0;
    for (int i = 0; i < gAwardsManager.GetAwardCount(); ++i)
        total += gAwardsManager.GetAwardDef(i)->points;
    EXPECT_EQ(total, 170);

    // Every line of the demo has its voice file, one of them in Speex.
    const std::string spoken = Run(
        "sfx:PlayVox('mira_opening', lines.mira_opening) sfx:PlayVox('mira_drawer', lines.mira_drawer) "
        "sfx:PlayVox('mira_note', lines.mira_note) sfx:PlayVox('gardener_greeting', lines.gardener_greeting) "
        "sfx:PlayVox('gardener_roses', lines.gardener_roses) sfx:PlayVox('gardener_lantern', lines.gardener_lantern) "
        "sfx:PlayBGVox('mira_thanks', lines.mira_thanks)");
    for (const char* file : {"mira_opening.ogg", "mira_drawer.ogg", "mira_note.ogg", "gardener_greeting.ogg",
                             "gardener_roses.spx", "gardener_lantern.ogg"})
        EXPECT_NE(spoken.find(std::string("PlayVox(audio/vox/") + file + " ["), std::string::npos) << file;
    EXPECT_NE(spoken.find("PlayBGVox(audio/vox/mira_thanks.ogg)"), std::string::npos) << spoken;

    gGamestate.SetScene("cottage", true);
    Run("BAG_INV:AddInventory(items.key) BAG_INV:AddInventory(items.note, false) "
        "BAG_MAGIC:AddInventory(items.lantern) "
        "BOOK_PRI:AddDiaryEntry(diary.note.key, diary.note.title, diary.note.base) "
        "quest:AddQuest(quests.findpip[1], quests.findpip[2], quests.findpip[3], quests.findpip[4]) "
        "game:EarnAward('award_found_key') game:EarnAward('award_read_note') game:Set('door_open', 1)");
    gGamestate.SetScene("garden", true);
    Run("saved = game:SaveGame() and 'yes' or 'no'");
    EXPECT_EQ(Global("saved"), "yes");
    Quit();

    Start();
    EXPECT_TRUE(lf_IsSavedGamePresent());
    Run("loaded = game:LoadGame() and 'yes' or 'no' scene = game:GetCurrentScene() last = game:GetLastScene() "
        "door = game:Get('door_open') pip = quest:CheckQuest('findpip') "
        "key = BAG_INV:CheckInventory('key') and 'yes' or 'no' "
        "lantern = BAG_MAGIC:CheckInventory('lantern') and 'yes' or 'no' "
        "award = game:HasAward('award_read_note') and 'yes' or 'no' "
        "other = game:HasAward('award_found_pip') and 'yes' or 'no'");
    EXPECT_EQ(Global("loaded"), "yes");
    EXPECT_EQ(Global("scene"), "garden");
    EXPECT_EQ(Global("last"), "cottage");
    EXPECT_EQ(Global("door"), "1");
    EXPECT_EQ(Global("pip"), "active");
    EXPECT_EQ(Global("key"), "yes");
    EXPECT_EQ(Global("lantern"), "yes");
    EXPECT_EQ(Global("award"), "yes");
    EXPECT_EQ(Global("other"), "no");
    const tInventoryEntry* key = gGamestate.GetInventoryEntry("key", BAG_INV);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(S(key->text), "L:item_key");
    EXPECT_EQ(key->hotX, 4.0f);
    const tDiaryEntry* note = gGamestate.GetDiary(BOOK_PRI)->GetEntry(0);
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->body, (std::vector<str>{"diary_note", "diary_note_1", "diary_note_2"}));
    int score = 0, rank = 0;
    ASSERT_TRUE(tables->GetUserBestScore(TZvHiscores::kUserScoreLocal, &score, &rank, nullptr, 0));
    EXPECT_EQ(score, 20);
}

}  // namespace
