// Event translation: system-event records in, TEvent sequences out, through GetEvent.

#include "platform_fakes.h"

#include "core/config/config.h"

namespace {

using Events = std::vector<TEvent>;

class EventTranslation : public PlatformFixture
{
protected:
    // Feeds the records in order and collects GetEvent results until the queue and the
    // host are both empty (the trailing idle tick is not collected).
    Events Feed(TPlatformData& data, std::vector<TSystemEvent> records)
    {
        for (auto& r : records)
            host->events.push_back(r);
        Events out;
        while (!host->events.empty() || !data.Queue().empty()) {
            TEvent e;
            data.GetEvent(&e);
            out.push_back(e);
        }
        return out;
    }
    static std::vector<int32_t> Types(const Events& events)
    {
        std::vector<int32_t> t;
        for (auto& e : events)
            t.push_back(e.type);
        return t;
    }
};

TEST_F(EventTranslation, QuitIsReportedOnceAndBeforeEverything)
{
    auto data = MakeData();
    data->PushEvent(TEvent{TEvent::kMouseDown, 0, 1, 2, 0});
    host->modifiers = TEvent::kShiftKey;
    data->Exit(0);
    data->Exit(5);
    TEvent e;
    data->GetEvent(&e);
    EXPECT_EQ(e, (TEvent{TEvent::kQuit, 0, 0, 0, TEvent::kShiftKey}));
    data->Exit(0);
    data->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kMouseDown);
    data->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kIdle);
}

TEST_F(EventTranslation, CloseRequestComesBeforeQueuedEventsAndReachesTheWindowScript)
{
    auto data = MakeData();
    data->PushEvent(TEvent{TEvent::kKeyDown, 'A', 0, 0, 0});
    host->events.push_back(Simple(sysev::kWindow, sysev::kWindowClose));
    TEvent e;
    data->GetEvent(&e);  // the queued key comes out; no system event is read yet
    EXPECT_EQ(e.type, TEvent::kKeyDown);
    data->PushEvent(TEvent{TEvent::kKeyDown, 'B', 0, 0, 0});
    data->GetEvent(&e);  // queue first
    EXPECT_EQ(e.code, 'B');
    data->GetEvent(&e);  // the close event itself yields an idle record
    EXPECT_EQ(e.type, TEvent::kIdle);
    data->PushEvent(TEvent{TEvent::kKeyDown, 'C', 0, 0, 0});
    data->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kCloseRequest);
    EXPECT_EQ(windows.Count("close"), 1);
    data->GetEvent(&e);
    EXPECT_EQ(e.code, 'C');
}

// The desktop's quit asks the player; a signal from the system ends the game without a question.
TEST_F(EventTranslation, SystemQuitAsksAndATerminationSignalQuits)
{
    const struct
    {
        uint32_t kind;
        int32_t then;
        bool quitRequested;
    } cases[] = {
        {sysev::kQuitApplication, TEvent::kCloseRequest, false},
        {sysev::kTerminateApplication, TEvent::kQuit, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        auto data = MakeData();
        Events ev = Feed(*data, {Simple(sysev::kAppleEvent, c.kind)});
        ASSERT_EQ(ev.size(), 1u);
        TEvent e;
        data->GetEvent(&e);
        EXPECT_EQ(e.type, c.then);
        data->GetEvent(&e);
        EXPECT_EQ(e.type, TEvent::kIdle);
        EXPECT_EQ(data->QuitRequested(), c.quitRequested);
        EXPECT_FALSE(data->CloseRequested());
    }
}

TEST_F(EventTranslation, KeyDownComesBeforeItsCharacterIn8BitMode)
{
    auto data = MakeData();
    host->mouse = TPoint(40, 50);
    Events ev = Feed(*data, {Key(sysev::kRawKeyDown, 'a', 0)});
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0], (TEvent{TEvent::kKeyDown, 'A', 40, 50, 0}));
    EXPECT_EQ(ev[1], (TEvent{TEvent::kChar, 'a', 40, 50, 0}));

    // Characters from 128 up travel as signed bytes.
    ev = Feed(*data, {Key(sysev::kRawKeyRepeat, 0xE9, 0)});
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0].code, -23);
    EXPECT_EQ(ev[1].code, -23);
}

TEST_F(EventTranslation, FunctionKeysMapToLettersAndGiveNoCharacter)
{
    auto data = MakeData();
    Events ev = Feed(*data, {Key(sysev::kRawKeyDown, 16, sysev::kKeyF1)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, TEvent::kKeyDown);
    EXPECT_EQ(ev[0].code, 'p');
    ev = Feed(*data, {Key(sysev::kRawKeyDown, 16, sysev::kKeyF4), Key(sysev::kRawKeyDown, 16, 96)});
    EXPECT_EQ(Types(ev), (std::vector<int32_t>{TEvent::kKeyDown, TEvent::kKeyDown}));
    EXPECT_EQ(ev[0].code, 's');
    EXPECT_EQ(ev[1].code, 0);
    ev = Feed(*data, {Key(sysev::kRawKeyUp, 16, sysev::kKeyF1)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, TEvent::kKeyUp);
    EXPECT_EQ(ev[0].code, 16);
}

TEST_F(EventTranslation, OptionReturnTogglesFullscreenUnlessAMovieIsPlaying)
{
    auto data = MakeData();
    data->SetDisplay(800, 600, false);
    host->modifiers = TEvent::kOptionKey;
    Events ev = Feed(*data, {Key(sysev::kRawKeyDown, 13)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, TEvent::kDisplayChanged);
    EXPECT_TRUE(data->IsFullscreen());
    EXPECT_TRUE(host->Called("mode 800x600 full"));

    gbFlashPlaying = true;
    ev = Feed(*data, {Key(sysev::kRawKeyDown, 13)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, TEvent::kIdle);
    EXPECT_TRUE(data->IsFullscreen());
}

TEST_F(EventTranslation, OptionF1TogglesTheHud)
{
    auto data = MakeData();
    host->modifiers = TEvent::kOptionKey;
    Events ev = Feed(*data, {Key(sysev::kRawKeyDown, 16, sysev::kKeyF1)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, TEvent::kIdle);
    EXPECT_EQ(render.Count("hud"), 1);
}

TEST_F(EventTranslation, UnicodeModeLeavesRawKeysToTheTextHandler)
{
    auto data = MakeData();
    gbZvUnicode = true;
    Events ev = Feed(*data, {Key(sysev::kRawKeyDown, 'a')});
    EXPECT_EQ(Types(ev), (std::vector<int32_t>{TEvent::kIdle}));
}

TEST_F(EventTranslation, ButtonReleaseComesBeforeTheMove)
{
    auto data = MakeData();
    Events ev = Feed(*data, {Mouse(sysev::kMouseDown, 1, 10, 20), Mouse(sysev::kMouseUp, 1, 11, 21)});
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_EQ(ev[0], (TEvent{TEvent::kMouseDown, 0, 10, 20, 0}));
    EXPECT_EQ(ev[1], (TEvent{TEvent::kMouseUp, 0, 11, 21, 0}));
    EXPECT_EQ(ev[2], (TEvent{TEvent::kMouseMove, 0, 11, 21, 0}));

    ev = Feed(*data, {Mouse(sysev::kMouseUp, 3, 4, 4)});
    ASSERT_EQ(ev.size(), 2u);
    EXPECT_EQ(ev[0], (TEvent{TEvent::kMouseExtended, kMiddleButtonUp, 4, 4, 0}));
    EXPECT_EQ(ev[1].type, TEvent::kMouseMove);
}

TEST_F(EventTranslation, ControlClickIsARightClickAndOptionClickAMiddleClick)
{
    auto data = MakeData();
    host->modifiers = TEvent::kControlKey;
    Events ev = Feed(*data, {Mouse(sysev::kMouseDown, 1, 1, 1), Mouse(sysev::kMouseUp, 1, 1, 1)});
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_EQ(ev[0].type, TEvent::kMouseExtended);
    EXPECT_EQ(ev[0].code, kRightButtonDown);
    EXPECT_EQ(ev[1].code, kRightButtonUp);
    EXPECT_EQ(ev[0].modifiers, uint32_t(TEvent::kControlKey));

    host->modifiers = TEvent::kOptionKey;
    ev = Feed(*data, {Mouse(sysev::kMouseDown, 1, 1, 1)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].code, kMiddleButtonDown);

    host->modifiers = 0;
    ev = Feed(*data, {Mouse(sysev::kMouseDown, 4, 1, 1)});
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].type, TEvent::kIdle);
}

TEST_F(EventTranslation, WheelCodesFollowAxisAndSign)
{
    auto data = MakeData();
    auto wheel = [&](int32_t axis, int32_t delta) {
        TSystemEvent ev = Mouse(sysev::kMouseWheelMoved, 0, 3, 4);
        ev.wheelAxis = axis;
        ev.wheelDelta = delta;
        return ev;
    };
    Events ev = Feed(*data, {wheel(0, 2), wheel(0, -1), wheel(1, 0), wheel(1, -3), wheel(7, 1)});
    ASSERT_EQ(ev.size(), 5u);
    EXPECT_EQ(ev[0].code, kHorizontalWheelPlus);
    EXPECT_EQ(ev[1].code, kHorizontalWheelMinus);
    EXPECT_EQ(ev[2].code, kVerticalWheelPlus);
    EXPECT_EQ(ev[3].code, kVerticalWheelMinus);
    EXPECT_EQ(ev[4].code, 0);
    for (auto& e : ev) {
        EXPECT_EQ(e.type, TEvent::kMouseExtended);
        EXPECT_EQ(e.x, 3);
    }
}

TEST_F(EventTranslation, MovesInvalidateTheScreenAndLeavingShowsTheCursor)
{
    auto data = MakeData();
    Events ev = Feed(*data, {Mouse(sysev::kMouseMoved, 0, 7, 8), Mouse(sysev::kMouseDragged, 1, 9, 9)});
    EXPECT_EQ(Types(ev), (std::vector<int32_t>{TEvent::kMouseMove, TEvent::kMouseMove}));
    EXPECT_EQ(windows.Count("invalidate"), 2);

    host->cursorVisible = true;
    host->mouseInContent = true;
    ev = Feed(*data, {Mouse(sysev::kMouseEntered, 0, 1, 1)});
    EXPECT_EQ(ev[0].type, TEvent::kIdle);
    EXPECT_FALSE(host->cursorVisible);

    host->mouseInContent = false;
    ev = Feed(*data, {Mouse(sysev::kMouseExited, 0, -1, 3)});
    EXPECT_EQ(ev[0], (TEvent{TEvent::kMouseLeave, 0, -1, 3, 0}));
    EXPECT_TRUE(host->cursorVisible);
    EXPECT_TRUE(host->Called("arrow"));
}

TEST_F(EventTranslation, ActivationFollowsApplicationAndWindowEvents)
{
    auto data = MakeData();
    data->SetSoundManager(FakeSoundManager());
    Events ev = Feed(*data, {Simple(sysev::kApplication, sysev::kAppDeactivated)});
    EXPECT_EQ(ev[0], (TEvent{TEvent::kActivate, 0, 0, 0, 0}));
    EXPECT_FALSE(data->IsForeground());
    ev = Feed(*data, {Simple(sysev::kApplication, sysev::kAppActivated)});
    EXPECT_EQ(ev[0], (TEvent{TEvent::kActivate, 1, 0, 0, 0}));
    EXPECT_TRUE(data->IsForeground());
    ev = Feed(*data, {Simple(sysev::kWindow, sysev::kWindowCollapse), Simple(sysev::kWindow, sysev::kWindowExpanded)});
    EXPECT_EQ(ev[0].code, 0);
    EXPECT_EQ(ev[1].code, 1);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"off", "on", "off", "on"}));
    data->SetSoundManager(nullptr);
}

TEST_F(EventTranslation, EventsOfOtherWindowsAreNotTranslated)
{
    auto data = MakeData();
    TSystemEvent close = Simple(sysev::kWindow, sysev::kWindowClose);
    close.toMainWindow = false;
    TSystemEvent collapse = Simple(sysev::kWindow, sysev::kWindowCollapse);
    collapse.toMainWindow = false;
    Events ev = Feed(*data, {close, collapse, Simple(sysev::kCommand, sysev::kProcessCommand)});
    EXPECT_EQ(Types(ev), (std::vector<int32_t>{TEvent::kIdle, TEvent::kIdle, TEvent::kIdle}));
    EXPECT_FALSE(data->CloseRequested());
    EXPECT_TRUE(data->IsForeground());
}

TEST_F(EventTranslation, HiddenFullscreenApplicationGivesUpTheDisplayAndTakesItBack)
{
    auto data = MakeData();
    data->SetDisplay(640, 480, true);
    host->calls.clear();
    Events ev = Feed(*data, {Simple(sysev::kApplication, sysev::kAppHidden)});
    EXPECT_EQ(ev[0].type, TEvent::kIdle);
    EXPECT_TRUE(host->Called("mode 640x480 win"));
    EXPECT_TRUE(host->Called("hide"));
    host->calls.clear();
    ev = Feed(*data, {Simple(sysev::kApplication, sysev::kAppShown)});
    EXPECT_TRUE(host->Called("mode 640x480 full"));
    // A second show without a hide changes nothing.
    host->calls.clear();
    Feed(*data, {Simple(sysev::kApplication, sysev::kAppShown)});
    EXPECT_TRUE(host->calls.empty());
}

TEST_F(EventTranslation, RelativeCursorModePurgesTheQueueOnce)
{
    auto data = MakeData();
    data->PushEvent(TEvent{TEvent::kKeyDown, 'A', 0, 0, 0});
    data->SetCursorMode(1);
    TEvent e;
    data->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kIdle);
    data->PushEvent(TEvent{TEvent::kKeyDown, 'B', 0, 0, 0});
    data->GetEvent(&e);
    EXPECT_EQ(e.code, 'B');
}

TEST_F(EventTranslation, AFailedReadLeavesTheEventAlone)
{
    auto data = MakeData();
    data->SetSoundManager(FakeSoundManager());
    host->failWait = true;
    TEvent e{TEvent::kRedraw, 9, 9, 9, 9};
    data->GetEvent(&e);
    EXPECT_EQ(e, (TEvent{TEvent::kRedraw, 9, 9, 9, 9}));
    EXPECT_EQ(sound.notifications, 1);
    data->SetSoundManager(nullptr);
}

}  // namespace
