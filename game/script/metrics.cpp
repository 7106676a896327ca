#include "game/script/metrics.h"

#include "core/config/config.h"
#include "core/script/game_state.h"
#include "game/script/df_log.h"

TClock dfPlayTime;
TClock dfPauseTime;

namespace {

bool inplay = false;
str last_task_completed;
const char* (*gActiveScene)() = nullptr;

const char* const metcounts[] = {"TotalClicks", "DiaryAccesses", "TimesPaused"};
const char* const kSessionTimers[] = {"SessionTime", "PlayTime", "PauseTime", "MainMenuTime", "HelpScreenTime"};
// The help timer is reported under this name, so it is run under it too.
constexpr const char* kHelpTimer = "HelpScreenTime";

void Set(const str& key, const str& value)
{
    if (TGameState* state = TGameState::GetInstance())
        state->SetState(key, value);
}

void Set(const str& key, int value)
{
    if (TGameState* state = TGameState::GetInstance())
        state->SetState(key, value);
}

double Seconds(const TClock& clock)
{
    return clock.GetTime() / 1000.0;
}

void LogPlayState(const char* format)
{
    LOGIT(format, Seconds(dfPlayTime), Seconds(dfPauseTime));
}

void RestartTimer(const char* name)
{
    Set(name, "restart");
    Set(name, "1");
}

}  // namespace

void SetActiveSceneQuery(const char* (*activeSceneName)())
{
    gActiveScene = activeSceneName;
}

const char* ActiveSceneName()
{
    return gActiveScene ? gActiveScene() : nullptr;
}

void MET_BeginSession()
{
    LOGIT("MET_BeginSession()\n");
    Set("begin-status", "SceneChangeColumns");
    Set("add-value", "SceneName");
    for (const char* counter : metcounts)
        Set("add-value", counter);
    Set("add-value", "SceneTime");
    Set("end-status", "SceneChangeColumns");
    Set("begin-status", "TaskCompleteColumns");
    Set("add-value", "TaskName");
    Set("add-value", "TaskTime");
    Set("end-status", "TaskCompleteColumns");
    Set("begin-status", "ClickColumns");
    Set("add-value", "SceneName");
    Set("add-value", "ClickedOnName");
    Set("add-value", "UsedObjectName");
    Set("end-status", "ClickColumns");
    Set("SessionTime", "restart");
    Set("SessionTime", 1);
}

void MET_EndSession()
{
    LOGIT("MET_EndSession()\n");
    Set("SessionTime", 0);
    Set("begin-status", "SessionDataColumns");
    Set("add-value", "Version");
    for (const char* timer : kSessionTimers)
        Set("add-value", timer);
    Set("end-status", "SessionDataColumns");
    Set("begin-session", "SessionData");
    Set("add-value", TConfig::GetConfig(TConfig::kGameVersion, str()));
    for (const char* timer : kSessionTimers)
        Set("add-timer", timer);
    Set("end-session", "SessionData");
}

void MET_BeginMainMenu()
{
    LOGIT("MET_BeginMainMenu()\n");
    Set("MainMenuTime", "1");
}

void MET_EndMainMenu()
{
    LOGIT("MET_EndMainMenu()\n");
    Set("MainMenuTime", "0");
}

void MET_BeginHelp()
{
    LOGIT("MET_BeginHelp()\n");
    Set(kHelpTimer, "1");
}

void MET_EndHelp()
{
    LOGIT("MET_EndHelp()\n");
    Set(kHelpTimer, "0");
}

void MET_StartGameClocks()
{
    const bool playing = !dfPlayTime.IsPaused();
    const bool pausing = !dfPauseTime.IsPaused();
    dfPlayTime.Reset();
    dfPauseTime.Reset();
    if (playing)
        dfPlayTime.Start();
    if (pausing)
        dfPauseTime.Start();
}

void MET_BeginPlay()
{
    inplay = true;
    LogPlayState("MET_BeginPlay() at PlayTime %f PauseTime %f\n");
    Set("PlayTime", "1");
    Set("PauseTime", "0");
    RestartTimer("TaskTime");
    dfPlayTime.Start();
}

void MET_EndPlay()
{
    inplay = false;
    LogPlayState("MET_EndPlay() at PlayTime %f PauseTime %f\n");
    Set("PlayTime", "0");
    Set("PauseTime", "0");
    dfPlayTime.Pause();
    dfPauseTime.Pause();
}

void MET_Pause()
{
    LogPlayState("MET_Pause() at PlayTime %f PauseTime %f\n");
    Set("PlayTime", "0");
    Set("PauseTime", "1");
    dfPlayTime.Pause();
    dfPauseTime.Start();
}

void MET_Resume()
{
    if (!inplay) {
        LOGIT("Can't resume after MET_EndPlay\n");
        return;
    }
    LogPlayState("MET_Resume() at PlayTime %f PauseTime %f\n");
    Set("PlayTime", "1");
    Set("PauseTime", "0");
    dfPlayTime.Start();
    dfPauseTime.Pause();
}

void MET_BeginScene(const char* name)
{
    LOGIT("MET_BeginScene(%s)\n", name);
    for (const char* counter : metcounts)
        Set(counter, 0);
    Set("inactiveclick", 0);
    RestartTimer("SceneTime");
}

void MET_EndScene(const char* name)
{
    LOGIT("MET_EndScene(%s)\n", name);
    Set("begin-status", "SceneChange");
    Set("add-value", name);
    for (const char* counter : metcounts)
        Set("add-state", counter);
    Set("add-timer", "SceneTime");
    Set("end-status", "SceneChange");
}

void MET_TaskEvent(const char* kind, const char* name, const char* extra)
{
    last_task_completed = str(name);
    LOGIT("MET_TaskEvent(%s, %s, %s)\n", kind, name, extra);
    Set("begin-status", "TaskComplete");
    Set("add-value", name);
    Set("add-timer", "TaskTime");
    Set("end-status", "TaskComplete");
    RestartTimer("TaskTime");
}

void MET_Event(const char* kind, const char* a, const char* b)
{
    LOGIT("MET_Event(%s, %s, %s)\n", kind, a, b);
    const char* scene = ActiveSceneName();
    Set("begin-status", kind);
    Set("add-value", scene ? scene : "NULL");
    Set("add-value", a);
    if (b && *b)
        Set("add-value", b);
    Set("end-status", kind);
}

void MET_Count(const char* name)
{
    const str key(name);
    Set(str("++") + key, 0);
    TGameState* state = TGameState::GetInstance();
    const str value = state ? state->GetState(key) : str();
    LOGIT("MET_COUNT(%s) ADVANCED TO %s\n", name, value.c_str());
}

void MET_Relay(const char* key)
{
    LOGIT("MET_RELAY(%s)\n", key);
    Set(key, 0);
}

void MET_Progress(int minutes, const char* window, const char* scene)
{
    LOGIT("MET_Progress(%d, %s, %s)\n", minutes, window, scene);
    const str record = str::getFormatted("Progress-%d", minutes);
    Set("begin-status", record);
    Set("add-value", last_task_completed);
    Set("end-status", record);
}
