#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/log_capture.h"
#include "core/script/game_state.h"
#include "core/time/time_source.h"
#include "game/script/metrics.h"
#include "game/startup/game_steps.h"
#include "game/startup/main_loop.h"
#include "ui/window/modal_window.h"

namespace {

uint32_t gNow = 0;

class TRecorder : public TGameStateHandler
{
public:
    bool OnSetState(const str& key, const str& value) override
    {
        if (key == str("begin-status") && value.find("Progress-", 0) == 0)
            progress.push_back(std::stoi(value.c_str() + 9));
        settings.push_back(std::string(key.c_str()) + "=" + value.c_str());
        return false;
    }
    std::vector<int> progress;
    std::vector<std::string> settings;
};

TEvent Event(int32_t type, int32_t code = 0)
{
    TEvent e;
    e.type = type;
    e.code = code;
    return e;
}

class MainLoop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gNow = 0;
        SetTimeSource([] { return gNow; });
        TGameState::SetPlatformQuery([] { return true; });
        TGameState::GetInstance()->AddHandler(&recorder);
        screen.SetName("screen");
        gameModal.SetName("game");
        gameModal.AdoptChild(&gameRoot, true);
        top = &screen;
    }
    void TearDown() override
    {
        gameModal.OrphanChild(&gameRoot);
        GameSteps() = TGameSteps();
        TGameState::DestroyInstance();
        TGameState::SetPlatformQuery(nullptr);
        SetTimeSource(nullptr);
    }
    TMainLoop::TServices Services()
    {
        TMainLoop::TServices s;
        s.getEvent = [this](TEvent* e) {
            ASSERT_FALSE(events.empty());
            *e = events.front();
            events.pop_front();
        };
        s.handleEvent = [this](TEvent* e) { handled.push_back(e->type); };
        s.closeRequest = [this] { calls.push_back("quitverify"); };
        s.topModal = [this] { return top; };
        return s;
    }
    // Runs the loop over the events (a quit is added at the end) and returns the handled types.
    std::vector<int32_t> Run(std::deque<TEvent> input)
    {
        events = std::move(input);
        events.push_back(Event(TEvent::kQuit));
        TMainLoop loop(Services());
        loop.Run();
        EXPECT_TRUE(events.empty());
        return handled;
    }
    // The game root window inside its own modal window, and pause as the game keeps it.
    void StartGame()
    {
        GameSteps().gameRoot = [this] { return &gameRoot; };
        GameSteps().isPaused = [this] { return paused; };
        GameSteps().pausify = [this] {
            calls.push_back("pausify");
            paused = true;
        };
        GameSteps().diaryPopup = [this] { calls.push_back("diary"); };
    }

    TRecorder recorder;
    std::deque<TEvent> events;
    std::vector<int32_t> handled;
    std::vector<std::string> calls;
    TModalWindow screen;
    TModalWindow gameModal;
    TWindow gameRoot;
    TWindow* top = nullptr;
    bool paused = false;
};

}  // namespace

TEST_F(MainLoop, BackgroundMouseMovesAreDropped)
{
    const std::vector<int32_t> handledTypes = Run({
        Event(TEvent::kMouseMove),
        Event(TEvent::kActivate, 0),
        Event(TEvent::kMouseMove),
        Event(TEvent::kKeyDown),
        Event(TEvent::kIdle),
        Event(TEvent::kActivate, 1),
        Event(TEvent::kMouseMove),
    });
    const std::vector<int32_t> expected = {TEvent::kMouseMove, TEvent::kActivate, TEvent::kKeyDown,
                                           TEvent::kIdle,      TEvent::kActivate, TEvent::kMouseMove};
    EXPECT_EQ(handledTypes, expected);
}

TEST_F(MainLoop, CloseRequestAsksTheScriptAndStillReachesTheManager)
{
    const std::vector<int32_t> handledTypes = Run({Event(TEvent::kCloseRequest), Event(TEvent::kIdle)});
    EXPECT_EQ(calls, std::vector<std::string>{"quitverify"});
    EXPECT_EQ(handledTypes, (std::vector<int32_t>{TEvent::kCloseRequest, TEvent::kIdle}));
}

TEST_F(MainLoop, PauseOpensOnceWhenTheGameGoesToTheBackground)
{
    StartGame();
    top = &gameModal;
    Run({
        Event(TEvent::kIdle),         // in front: no pause check
        Event(TEvent::kActivate, 0),  // pauses
        Event(TEvent::kIdle),         // already paused
        Event(TEvent::kKeyDown),
        Event(TEvent::kActivate, 1),
    });
    EXPECT_EQ(calls, (std::vector<std::string>{"diary", "pausify", "diary", "diary", "diary", "diary"}));
}

TEST_F(MainLoop, NoPauseWithoutTheGameOnTop)
{
    Run({Event(TEvent::kActivate, 0), Event(TEvent::kIdle)});  // no game root at all
    EXPECT_TRUE(calls.empty());
    StartGame();
    top = &screen;  // something above the game
    Run({Event(TEvent::kActivate, 0), Event(TEvent::kIdle)});
    EXPECT_EQ(calls, (std::vector<std::string>{"diary", "diary"}));
}

TEST_F(MainLoop, FullScreenSwitchIsRecorded)
{
    GameSteps().updateFullScreen = [this] { calls.push_back("fullscreen"); };
    const std::vector<int32_t> handledTypes = Run({Event(TEvent::kDisplayChanged)});
    EXPECT_EQ(calls, std::vector<std::string>{"fullscreen"});
    EXPECT_EQ(handledTypes, std::vector<int32_t>{TEvent::kDisplayChanged});
}

TEST_F(MainLoop, ProgressEveryFifteenMinutesThenFourteen)
{
    TMainLoop::TServices services = Services();
    services.getEvent = [](TEvent* e) {
        gNow += 1000;  // one second per event
        *e = Event(gNow > 4400000 ? TEvent::kQuit : TEvent::kIdle);
    };
    TLogCapture log;
    TMainLoop loop(std::move(services));
    loop.Run();
    EXPECT_EQ(recorder.progress, (std::vector<int>{15, 30, 45, 59, 73}));
    EXPECT_NE(log.Text().find("MET_Progress(15, screen, )\n"), std::string::npos);
}

TEST_F(MainLoop, QuitTearsDownInOrderAndClosesTheSession)
{
    auto record = [this](const char* name) { return [this, name] { calls.push_back(name); }; };
    GameSteps().deleteSettings = record("deleteSettings");
    GameSteps().dumpSubScene = record("dumpSubScene");
    GameSteps().dumpScene = record("dumpScene");
    GameSteps().releaseScene = record("releaseScene");
    TLogCapture log;
    EXPECT_TRUE(Run({}).empty());  // the quit event is not handed on
    EXPECT_EQ(calls, (std::vector<std::string>{"deleteSettings", "dumpSubScene", "dumpScene", "releaseScene"}));
    EXPECT_NE(log.Text().find("QUITTING THE APP!\n"), std::string::npos);
    ASSERT_FALSE(recorder.settings.empty());
    EXPECT_EQ(recorder.settings.back(), "end-session=SessionData");
}
