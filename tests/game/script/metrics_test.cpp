#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/log_capture.h"
#include "core/config/config.h"
#include "core/script/game_state.h"
#include "core/time/time_source.h"
#include "game/script/metrics.h"

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

class TRecorder : public TGameStateHandler
{
public:
    bool OnSetState(const str& key, const str& value) override
    {
        seen.emplace_back(key.c_str(), value.c_str());
        return false;
    }
    Settings Take() { return std::exchange(seen, {}); }
    Settings seen;
};

uint32_t gNow = 0;
const char* gScene = nullptr;

class Metrics : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TGameState::SetPlatformQuery([] { return true; });
        TGameState::GetInstance()->AddHandler(&recorder);
        SetTimeSource([] { return gNow; });
        SetActiveSceneQuery([] { return gScene; });
        gScene = nullptr;
    }
    void TearDown() override
    {
        MET_EndPlay();
        TGameState::DestroyInstance();
        TGameState::SetPlatformQuery(nullptr);
        SetTimeSource(nullptr);
        SetActiveSceneQuery(nullptr);
    }
    TRecorder recorder;
};

}  // namespace

TEST_F(Metrics, SessionRecords)
{
    TConfig::SetConfig(TConfig::kGameVersion, "1.2");
    TLogCapture log;
    MET_BeginSession();
    const Settings begin = {
        {"begin-status", "SceneChangeColumns"},
        {"add-value", "SceneName"},
        {"add-value", "TotalClicks"},
        {"add-value", "DiaryAccesses"},
        {"add-value", "TimesPaused"},
        {"add-value", "SceneTime"},
        {"end-status", "SceneChangeColumns"},
        {"begin-status", "TaskCompleteColumns"},
        {"add-value", "TaskName"},
        {"add-value", "TaskTime"},
        {"end-status", "TaskCompleteColumns"},
        {"begin-status", "ClickColumns"},
        {"add-value", "SceneName"},
        {"add-value", "ClickedOnName"},
        {"add-value", "UsedObjectName"},
        {"end-status", "ClickColumns"},
        {"SessionTime", "restart"},
        {"SessionTime", "1"},
    };
    EXPECT_EQ(recorder.Take(), begin);
    MET_EndSession();
    const Settings end = {
        {"SessionTime", "0"},
        {"begin-status", "SessionDataColumns"},
        {"add-value", "Version"},
        {"add-value", "SessionTime"},
        {"add-value", "PlayTime"},
        {"add-value", "PauseTime"},
        {"add-value", "MainMenuTime"},
        {"add-value", "HelpScreenTime"},
        {"end-status", "SessionDataColumns"},
        {"begin-session", "SessionData"},
        {"add-value", "1.2"},
        {"add-timer", "SessionTime"},
        {"add-timer", "PlayTime"},
        {"add-timer", "PauseTime"},
        {"add-timer", "MainMenuTime"},
        {"add-timer", "HelpScreenTime"},
        {"end-session", "SessionData"},
    };
    EXPECT_EQ(recorder.Take(), end);
    const std::string text = log.Text();
    EXPECT_NE(text.find("MET_BeginSession()\n"), std::string::npos);
    EXPECT_NE(text.find("MET_EndSession()\n"), std::string::npos);
    TConfig::SetConfig(TConfig::kGameVersion, "");
}

// The help timer runs under the name the session report reads.
TEST_F(Metrics, HelpTimerIsTheOneReported)
{
    MET_BeginHelp();
    MET_EndHelp();
    EXPECT_EQ(recorder.Take(), (Settings{{"HelpScreenTime", "1"}, {"HelpScreenTime", "0"}}));
}

TEST_F(Metrics, PlayPauseAndResume)
{
    gNow = 1000;
    MET_BeginPlay();
    EXPECT_EQ(recorder.Take(),
              (Settings{{"PlayTime", "1"}, {"PauseTime", "0"}, {"TaskTime", "restart"}, {"TaskTime", "1"}}));
    gNow = 4000;
    EXPECT_EQ(dfPlayTime.GetTime(), 3000u);
    TLogCapture log;
    MET_Pause();
    EXPECT_EQ(recorder.Take(), (Settings{{"PlayTime", "0"}, {"PauseTime", "1"}}));
    gNow = 6000;
    EXPECT_EQ(dfPlayTime.GetTime(), 3000u);
    EXPECT_EQ(dfPauseTime.GetTime(), 2000u);
    MET_Resume();
    EXPECT_EQ(recorder.Take(), (Settings{{"PlayTime", "1"}, {"PauseTime", "0"}}));
    EXPECT_NE(log.Text().find("MET_Resume() at PlayTime 3.00000 PauseTime 2.00000\n"), std::string::npos);
    MET_EndPlay();
    EXPECT_EQ(recorder.Take(), (Settings{{"PlayTime", "0"}, {"PauseTime", "0"}}));

    TLogCapture after;
    MET_Resume();
    EXPECT_TRUE(recorder.Take().empty());
    EXPECT_NE(after.Text().find("Can't resume after MET_EndPlay\n"), std::string::npos);
    MET_Pause();  // still sends its settings
    EXPECT_EQ(recorder.Take().size(), 2u);
}

TEST_F(Metrics, SceneCountersAndReport)
{
    MET_BeginScene("harbour");
    EXPECT_EQ(recorder.Take(), (Settings{{"TotalClicks", "0"},
                                         {"DiaryAccesses", "0"},
                                         {"TimesPaused", "0"},
                                         {"inactiveclick", "0"},
                                         {"SceneTime", "restart"},
                                         {"SceneTime", "1"}}));
    TLogCapture log;
    MET_Count("TotalClicks");
    MET_Count("TotalClicks");
    MET_Count("TotalClicks");
    EXPECT_EQ(TGameState::GetInstance()->GetState("TotalClicks"), str("3"));
    EXPECT_NE(log.Text().find("MET_COUNT(TotalClicks) ADVANCED TO 3\n"), std::string::npos);
    EXPECT_EQ(recorder.Take(), (Settings{{"TotalClicks", "1"}, {"TotalClicks", "2"}, {"TotalClicks", "3"}}));
    MET_EndScene("harbour");
    EXPECT_EQ(recorder.Take(), (Settings{{"begin-status", "SceneChange"},
                                         {"add-value", "harbour"},
                                         {"add-state", "TotalClicks"},
                                         {"add-state", "DiaryAccesses"},
                                         {"add-state", "TimesPaused"},
                                         {"add-timer", "SceneTime"},
                                         {"end-status", "SceneChange"}}));
}

TEST_F(Metrics, EventsTasksRelayAndProgress)
{
    MET_Event("ClickedOnActor", "door", "");
    EXPECT_EQ(recorder.Take(), (Settings{{"begin-status", "ClickedOnActor"},
                                         {"add-value", "NULL"},
                                         {"add-value", "door"},
                                         {"end-status", "ClickedOnActor"}}));
    gScene = "harbour";
    MET_Event("ClickedOnZone", "gate", "key");
    EXPECT_EQ(recorder.Take(), (Settings{{"begin-status", "ClickedOnZone"},
                                         {"add-value", "harbour"},
                                         {"add-value", "gate"},
                                         {"add-value", "key"},
                                         {"end-status", "ClickedOnZone"}}));
    MET_TaskEvent("scripted-task", "found_key", "x");
    EXPECT_EQ(recorder.Take(), (Settings{{"begin-status", "TaskComplete"},
                                         {"add-value", "found_key"},
                                         {"add-timer", "TaskTime"},
                                         {"end-status", "TaskComplete"},
                                         {"TaskTime", "restart"},
                                         {"TaskTime", "1"}}));
    MET_Relay("tutorial_done");
    EXPECT_EQ(recorder.Take(), (Settings{{"tutorial_done", "0"}}));
    TLogCapture log;
    MET_Progress(15, "game", "");
    EXPECT_EQ(recorder.Take(),
              (Settings{{"begin-status", "Progress-15"}, {"add-value", "found_key"}, {"end-status", "Progress-15"}}));
    EXPECT_NE(log.Text().find("MET_Progress(15, game, )\n"), std::string::npos);
}
