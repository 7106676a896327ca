#include "game/world/state/gamestate_lua.h"

#include "../fake_scene.h"
#include "../lua_run.h"
#include "common/log_capture.h"
#include "game/world/state/gamestate.h"

#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <cstring>
#include <string>

namespace {

class GameLua : public ::testing::Test
{
public:
    void SetUp() override
    {
        L = lua_open();
        AddInstanceToLua(state, L);
    }
    void TearDown() override { lua_close(L); }

    std::string Run(const char* code) { return RunLua(L, code); }
    std::string Global(const char* name) { return LuaGlobal(L, name); }

    FakeScene scene;
    tGamestate state;
    lua_State* L = nullptr;
};

TEST_F(GameLua, VariablesAndScenes)
{
    state.SetScene("hall", true);
    state.SetScene("garden", true);
    Run("game:Set('n', 4.9) game:SetString('s', 'x') a = game:Get('n') b = game:GetString('s') "
        "game:SetString('s', nil) c = game:GetString('s') d = game:GetCurrentScene() e = game:GetLastScene() "
        "game:SetReturnFromScene('cellar') f = game:Get('canreturnfromscene')");
    EXPECT_EQ(Global("a"), "4");
    EXPECT_EQ(Global("b"), "x");
    EXPECT_EQ(Global("c"), "");
    EXPECT_TRUE(state.Strings().count("s") == 0);
    EXPECT_EQ(Global("d"), "garden");
    EXPECT_EQ(Global("e"), "hall");
    EXPECT_EQ(Global("f"), "1");
    const std::string log = Run("game.Get('n')");
    EXPECT_NE(log.find("Missing base object in Lua function call:Called Function Get"), std::string::npos) << log;
}

TEST_F(GameLua, InventoryFromTables)
{
    Run("BAG_INV:AddInventory({ key = 'key', text = 'A key', anim = 'a', cursor = 'c', cantuse = 'no', "
        "cursor_hot = { x = 3, y = 4 } }, false) "
        "BAG_MAGIC:AddInventory({ key = 'spark' }) "
        "BAG_MAGIC:AddInventory('not a table') "
        "has = BAG_INV:CheckInventory('key') and 'yes' or 'no' hasnt = BAG_INV:CheckInventory('spark') and 'yes' or "
        "'no' "
        "BAG_INV:SetItemParameter('key', 5) "
        "game:UseInventory(1, 0) use = game:GetInvUsage() "
        "game:UseInventory(0, 0) use2 = game:GetInvUsage() cant = game:GetInvUsage_CantUse() "
        "loc = BAG_INV:GetInventoryLocation('nothing') lx = loc.x");
    const tInventoryEntry* e = state.GetBag(0)->GetInventoryEntry("key");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(std::string(e->text.c_str()), "L:A key");
    EXPECT_EQ(std::string(e->cantuse.c_str()), "no");
    EXPECT_EQ(e->hotX, 3.0f);
    EXPECT_EQ(e->hotY, 4.0f);
    EXPECT_EQ(e->parameter, 5);
    EXPECT_EQ(state.GetBag(1)->GetInventoryEntry("spark")->parameter, 3206);
    EXPECT_EQ(state.GetBag(1)->GetInventoryEntryCount(), 1);
    EXPECT_EQ(scene.announced, (std::vector<std::pair<std::string, int>>{{"spark", 1}}));
    EXPECT_EQ(Global("has"), "yes");
    EXPECT_EQ(Global("hasnt"), "no");
    EXPECT_EQ(Global("use"), "spark");
    EXPECT_EQ(Global("use2"), "key");
    EXPECT_EQ(Global("cant"), "no");
    EXPECT_EQ(Global("lx"), "400");
}

TEST_F(GameLua, Quests)
{
    const std::string bad = Run("quest:AddQuest('q', 5, 'body', 'icon') quest:AddQuest('q') "
                                "c0 = quest:CheckQuest('q') quest:AddQuest('q', 'Title', 'Body', 'icon') "
                                "c1 = quest:CheckQuest('q') quest:CompleteQuest('q') c2 = quest:CheckQuest('q') "
                                "c3 = quest:CheckQuest(7)");
    EXPECT_NE(bad.find("AddQuest params wrong (key, text, animfile)"), std::string::npos) << bad;
    EXPECT_NE(bad.find("Insufficient params for AddQuest()"), std::string::npos);
    EXPECT_NE(bad.find("CheckQuest params wrong (key)"), std::string::npos);
    EXPECT_EQ(Global("c0"), "nil");
    EXPECT_EQ(Global("c1"), "active");
    EXPECT_EQ(Global("c2"), "complete");
    EXPECT_EQ(Global("c3"), "nil");
    const tQuestEntry* q = state.GetQuests().GetEntry(0);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(std::string(q->title.c_str()), "L:Title");
    EXPECT_EQ(std::string(q->anim.c_str()), "icon");
    EXPECT_EQ(state.GetQuests().GetEntryCount(), 1);
}

TEST_F(GameLua, DiaryEntriesFromTheStringTable)
{
    const struct
    {
        const char* what;
        std::vector<std::string> strings;
        std::vector<str> body;
    } cases[] = {
        {"base, then numbered lines from 1", {"clue", "clue_1", "clue_2"}, {"clue", "clue_1", "clue_2"}},
        {"a gap after 0 ends the lines", {"clue_0", "clue_2"}, {"clue_0"}},
        {"no strings at all", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scene.strings.clear();
        for (const std::string& s : c.strings)
            scene.strings[s] = "text of " + s;
        state.GetDiary(BOOK_PRI)->clear();
        Run("BOOK_PRI:AddDiaryEntry('k', 'Title', 'clue')");
        tDiaryEntry* e = state.GetDiary(BOOK_PRI)->GetEntry(0);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(std::string(e->title.c_str()), "Title");
        EXPECT_EQ(e->body, c.body);
    }
    Run("BOOK_EDU:AddDiaryTableEntry({ 'rose', 'Roses', 'line one', 'line two' }) BOOK_EDU:AddDiaryTableEntry(3) "
        "BOOK_EDU:AddDiaryEntry() BOOK_EDU:RemoveDiaryEntry('')");
    tDiary* edu = state.GetDiary(BOOK_EDU);
    ASSERT_EQ(edu->GetEntryCount(), 1);
    EXPECT_EQ(edu->GetEntry(0)->body, (std::vector<str>{"line one", "line two"}));
}

}  // namespace
