#include "game/startup/main_loop.h"

#include "core/text/str.h"
#include "game/script/df_log.h"
#include "game/script/metrics.h"
#include "game/startup/game_steps.h"
#include "ui/window/modal_window.h"

TGameSteps& GameSteps()
{
    static TGameSteps steps;
    return steps;
}

TWindow* GameRoot()
{
    return GameSteps().gameRoot ? GameSteps().gameRoot() : nullptr;
}

bool IsGamePaused()
{
    return GameSteps().isPaused && GameSteps().isPaused();
}

namespace {

void RunStep(const std::function<void()>& step)
{
    if (step)
        step();
}

}  // namespace

TMainLoop::TMainLoop(TServices services) : mServices(std::move(services))
{
    mRunClock.Start();
    mIntervalClock.Start();
}

void TMainLoop::Run()
{
    while (Step()) {}
}

bool TMainLoop::Step()
{
    TEvent e;
    mServices.getEvent(&e);
    if (e.type == TEvent::kQuit) {
        Quit();
        return false;
    }
    if (e.type == TEvent::kCloseRequest && mServices.closeRequest)
        mServices.closeRequest();

    bool pauseCheck = !mActive;
    if (e.type == TEvent::kActivate) {
        mActive = e.code != 0;
        pauseCheck = !mActive;
    } else if (e.type == TEvent::kMouseMove && !mActive) {
        return true;
    }
    if (pauseCheck)
        PauseCheck();
    if (GameRoot())
        RunStep(GameSteps().diaryPopup);

    if (e.type == TEvent::kDisplayChanged)
        RunStep(GameSteps().updateFullScreen);
    if (mServices.handleEvent)
        mServices.handleEvent(&e);
    ProgressReport();
    return true;
}

void TMainLoop::Quit()
{
    LOGIT("QUITTING THE APP!\n");
    const TGameSteps& steps = GameSteps();
    RunStep(steps.deleteSettings);
    RunStep(steps.dumpSubScene);
    RunStep(steps.dumpScene);
    RunStep(steps.releaseScene);
    MET_EndSession();
}

void TMainLoop::PauseCheck()
{
    TWindow* root = GameRoot();
    if (!root)
        return;
    TWindow* top = mServices.topModal ? mServices.topModal() : nullptr;
    if (top && top == root->FindParentModal() && !IsGamePaused())
        RunStep(GameSteps().pausify);
}

void TMainLoop::ProgressReport()
{
    const uint32_t minutes = mRunClock.GetTime() / 60000;
    const uint32_t margin = minutes >= kLateMinutes ? kLateMargin : 0;
    if (mIntervalClock.GetTime() + margin <= kProgressInterval)
        return;
    mIntervalClock.Reset();
    mIntervalClock.Start();
    const int now = static_cast<int>(mRunClock.GetTime() / 60000);
    // The manager always has its screen on the stack while the loop runs; an empty name
    // stands in should it have none.
    TWindow* top = mServices.topModal ? mServices.topModal() : nullptr;
    const str window = top ? top->GetName() : str();
    const char* scene = GameRoot() ? ActiveSceneName() : nullptr;
    MET_Progress(now, window.c_str(), scene ? scene : "");
}
