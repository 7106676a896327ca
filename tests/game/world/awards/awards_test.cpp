#include "game/world/awards/awards_manager.h"

#include "../lua_run.h"
#include "../prefs_fixture.h"
#include "common/log_capture.h"
#include "core/platform/platform.h"
#include "online/scores/zv_hiscores.h"

#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <memory>

namespace {

class Awards : public WorldPrefsTest
{
public:
    void SetUp() override
    {
        WorldPrefsTest::SetUp();
        L = lua_open();
    }
    void TearDown() override
    {
        gAwardsManager.SetScoreTables(nullptr);
        gAwardsManager.InitializeAwardInfo(nullptr);
        lua_close(L);
        WorldPrefsTest::TearDown();
    }
    void Run(const char* code) { RunLua(L, code); }

    std::unique_ptr<TZvHiscores> Tables()
    {
        auto t = std::make_unique<TZvHiscores>(true);
        t->SetProperty(TZvHiscores::kPropUserName, "mira");
        return t;
    }
    static int BestScore(TZvHiscores& t)
    {
        int score = -1, rank = 0;
        t.GetUserBestScore(TZvHiscores::kUserScoreLocal, &score, &rank, nullptr, 0);
        return score;
    }

    lua_State* L = nullptr;
};

TEST_F(Awards, ListFromScriptPublishesMedalNames)
{
    TPlatform::SetConfig("zvgamemedalname4", "untouched");
    Run("awardlist = { {'A', 10.9}, {'B', 5}, {'C', 'many'}, 7, {'late', 1} }");
    gAwardsManager.InitializeAwardInfo(L);
    ASSERT_EQ(gAwardsManager.GetAwardCount(), 3);
    EXPECT_EQ(S(gAwardsManager.GetAwardDef(0)->name), "A");
    EXPECT_EQ(gAwardsManager.GetAwardDef(0)->points, 10);
    EXPECT_EQ(gAwardsManager.GetAwardDef(2)->points, 0);
    EXPECT_EQ(gAwardsManager.GetAwardDef(3), nullptr);
    EXPECT_EQ(S(TPlatform::GetConfig("zvgamemedalname1", "")), "A");
    EXPECT_EQ(S(TPlatform::GetConfig("zvgamemedalname3", "")), "C");
    EXPECT_EQ(S(TPlatform::GetConfig("zvgamemedalname4", "")), "untouched");
    EXPECT_EQ(lua_gettop(L), 0);

    TPlatform::SetConfig("zvgamemedalname1", "before");
    Run("awardlist = 'none'");
    gAwardsManager.InitializeAwardInfo(L);
    EXPECT_EQ(gAwardsManager.GetAwardCount(), 0);
    EXPECT_EQ(S(TPlatform::GetConfig("zvgamemedalname1", "")), "before");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(Awards, EarnedOnceScoresSummedAndKeptAcrossARestart)
{
    Run("awardlist = { {'A', 10}, {'B', 5}, {'C', 100} }");
    gAwardsManager.InitializeAwardInfo(L);
    {
        auto tables = Tables();
        gAwardsManager.SetScoreTables(tables.get());
        EXPECT_FALSE(gAwardsManager.HasAward("A"));
        const struct
        {
            const char* earn;
            int score;
        } steps[] = {{"A", 10}, {"B", 15}, {"A", 15}, {"notlisted", 15}};
        for (const auto& s : steps) {
            TLogCapture log;
            gAwardsManager.EarnAward(s.earn);
            EXPECT_NE(log.Text().find("TSettings::LogHighScore()"), std::string::npos);
            EXPECT_EQ(BestScore(*tables), s.score) << s.earn;
        }
        EXPECT_EQ(tables->GetNumMedalsEarned(), 3);
        gAwardsManager.SetScoreTables(nullptr);
    }
    auto again = Tables();
    gAwardsManager.SetScoreTables(again.get());
    EXPECT_TRUE(gAwardsManager.HasAward("A"));
    EXPECT_TRUE(gAwardsManager.HasAward("B"));
    EXPECT_FALSE(gAwardsManager.HasAward("C"));
    again->SetProperty(TZvHiscores::kPropUserName, "someone else");
    EXPECT_FALSE(gAwardsManager.HasAward("A"));
}

TEST_F(Awards, TheScoreHoldsAtTheLargestIntInsteadOfWrapping)
{
    Run("awardlist = { {'A', 2147483647}, {'B', 2147483647} }");
    gAwardsManager.InitializeAwardInfo(L);
    auto tables = Tables();
    gAwardsManager.SetScoreTables(tables.get());
    gAwardsManager.EarnAward("A");
    gAwardsManager.EarnAward("B");
    EXPECT_EQ(gAwardsManager.GetScore(), 2147483647);
    EXPECT_EQ(BestScore(*tables), 2147483647);
}

}  // namespace
