#include "settings_fixture.h"

#include "common/log_capture.h"
#include "game/screens/settings/settings_steps.h"
#include "game/startup/game_steps.h"
#include "game/world/awards/awards_manager.h"
#include "online/scores/zv_hiscores.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <functional>
#include <utility>
#include <vector>

namespace {

class SettingsLua : public SettingsTest
{
public:
    void TearDown() override
    {
        gAwardsManager.SetScoreTables(nullptr);
        gAwardsManager.InitializeAwardInfo(nullptr);
        SettingsTest::TearDown();
    }
    // The player's rows of the local table: "name=score".
    static std::vector<std::string> Rows(TZvHiscores& tables)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < tables.GetScoreCount(true); ++i) {
            int rank = 0, score = 0;
            bool anonymous = false;
            char name[64] = "";
            tables.GetScore(true, i, &rank, name, sizeof name, &anonymous, &score, nullptr, 0);
            rows.push_back(std::string(name) + "=" + std::to_string(score));
        }
        return rows;
    }
};

const char* const kBound[] = {
    "ToggleFullScreen", "ToggleSoundMute",       "SetCurrentGameMode", "GetNumUsers",    "CreateNewUser",
    "SetCurrentUser",   "ChangeCurrentUserName", "DeleteUser",         "IsNameInUse",    "QuitToMainMenu",
    "LogHighScore",     "NumMedalsToSubmit",     "NumEarnedMedals",    "GetMedalName",   "GetMedalType",
    "GetMedalGameMode", "GetMedalGameData",      "GetZvGameModeName",  "GetZvMedalName",
};
const char* const kPlain[] = {"SetStartMode", "IsSavedGamePresent", "MET_Count", "MET_BeginHelp", "MET_EndHelp"};

TEST_F(SettingsLua, GlobalsOnTheObjectGoWithIt)
{
    Make();
    for (const char* name : kBound)
        EXPECT_EQ(Run(std::string("return type(") + name + ")"), "function") << name;
    EXPECT_EQ(Run("return STARTMODE.NEW .. STARTMODE.LOAD .. STARTMODE.RESUME"), "123");
    EXPECT_EQ(Run("GetNumUsers = function() return 42 end"), "nil");  // a script's own now

    TSettings::DeleteSettings();
    for (const char* name : kBound) {
        const std::string expected = std::string(name) == "GetNumUsers" ? "function" : "nil";
        EXPECT_EQ(Run(std::string("return type(") + name + ")"), expected) << name;
    }
    for (const char* name : kPlain)
        EXPECT_EQ(Run(std::string("return type(") + name + ")"), "function") << name;
    EXPECT_EQ(Run("return GetNumUsers()"), "42");
}

TEST_F(SettingsLua, StartModesReachTheirGame)
{
    std::string started;
    TSettingsServices services = Services();
    bool loads = true;
    services.startNewGame = [&] { return started += "new;", true; };
    services.loadDefaultGame = [&] { return started += "load;", loads; };
    TSettings::CreateSettings(services);
    // The script learns whether play can begin: a saved game that does not load is its to tell.
    const struct
    {
        int mode;
        bool loads;
        const char* expected;
        const char* answer;
    } cases[] = {{1, true, "new;", "true"},   {2, true, "load;", "true"}, {2, false, "load;", "false"},
                 {3, false, "load;", "false"}, {0, true, "", "false"},      {7, true, "", "false"}};
    for (const auto& [mode, works, expected, answer] : cases) {
        started.clear();
        loads = works;
        TLogCapture log;
        EXPECT_EQ(Run("return tostring(SetStartMode(" + std::to_string(mode) + "))"), answer) << mode;
        const std::string text = log.Text();
        EXPECT_EQ(started, expected) << mode;
        const bool bad = *expected == 0;
        EXPECT_EQ(text.find("Bad STARTMODE " + std::to_string(mode) + "\n") != std::string::npos, bad) << text;
    }
}

TEST_F(SettingsLua, ScoresAreTheAwardTotal)
{
    TSettings* s = Make();
    TZvHiscores& tables = *s->GetHiscores();
    gAwardsManager.SetScoreTables(&tables);
    gAwardsManager.AddAwardDef("A", 10);
    gAwardsManager.AddAwardDef("B", 5);
    s->CreateNewUser("ann");
    InstallSettingsSteps();  // the in-game "quit" message goes this way
    const std::pair<const char*, std::function<void()>> recorders[] = {
        {"quit", [] { GameSteps().quitToMainMenu(); }},
        {"script", [this] { Run("LogHighScore()"); }},
    };
    for (const auto& [who, record] : recorders) {
        tables.SetProperty(TZvHiscores::kPropUserName, who);
        record();  // nothing earned yet
        EXPECT_EQ(Rows(tables).back(), std::string(who) + "=0");
    }
    tables.SetProperty(TZvHiscores::kPropUserName, "ann");
    gAwardsManager.EarnAward("A");
    gAwardsManager.EarnAward("B");
    gAwardsManager.EarnAward("A");
    for (const auto& [who, record] : recorders) {
        record();
        EXPECT_EQ(Rows(tables), (std::vector<std::string>{"ann=15", "quit=0", "script=0"})) << who;
    }
    GameSteps() = TGameSteps();
}

TEST_F(SettingsLua, MedalsAndAwardNamesForTheScreens)
{
    TSettings* s = Make();
    gAwardsManager.SetScoreTables(s->GetHiscores());
    gAwardsManager.AddAwardDef("first_step", 10);
    s->CreateNewUser("ann");
    gAwardsManager.EarnAward("first_step");
    const std::pair<const char*, const char*> cases[] = {
        {"return NumEarnedMedals()", "1"},   {"return GetMedalName(0)", "first_step"},
        {"return GetMedalType(0)", "0"},     {"return GetMedalGameData(0)", "unused_soec_storage"},
        {"return GetMedalName(1)", ""},      {"return GetZvGameModeName(0)", "story_mode"},
        {"return GetZvGameModeName(1)", ""}, {"return GetZvMedalName(0)", "first_step"},
        {"return GetZvMedalName(1)", ""},
    };
    for (const auto& [code, expected] : cases)
        EXPECT_EQ(Run(code), expected) << code;
    TLogCapture log;
    Run("GetZvMedalName(0); GetZvMedalName(-1)");
    const std::string text = log.Text();
    EXPECT_NE(text.find("GetZvMedalName(0) returns [first_step]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("GetZvMedalName(-1) returns [NULL]\n"), std::string::npos) << text;
}

TEST_F(SettingsLua, BackToTheMainMenuLeavesTheBottomWindow)
{
    TWindowManager manager;
    TSettingsServices services = Services();
    services.windows = [&manager] { return &manager; };
    TSettings::CreateSettings(services);
    auto* menu = new TModalWindow;
    manager.PushModal(menu);
    manager.PushModal(new TModalWindow);
    manager.PushModal(new TModalWindow);
    ASSERT_EQ(manager.GetModalStack().size(), 3u);
    Run("QuitToMainMenu()");
    EXPECT_EQ(manager.GetTopModalWindow(), menu);
    EXPECT_EQ(manager.GetModalStack().size(), 1u);
    TSettings::DeleteSettings();
}

}  // namespace
