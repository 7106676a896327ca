// The window manager: mouse routing, the modal stack, messages, deferred destruction and
// the frame throttle.

#include "core/config/config.h"
#include "ui/support/ui_test_support.h"
#include "ui/window/message_types.h"
#include "ui/window/window_script_base.h"

namespace {

class WindowManagerTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        screen = InstallScreen();
    }
    TProbeModal* screen = nullptr;
};

TEST_F(WindowManagerTest, ListenerTakesEveryClickAndLeavesWhenOutside)
{
    auto* target = new TProbeWindow("target", true);
    screen->AdoptChild(target, true);
    target->SetWindowSize(640, 480);
    auto* listener = new TProbeWindow("listener", true);
    screen->AdoptChild(listener, true);
    listener->SetWindowPos(100, 100);
    listener->SetWindowSize(50, 50);
    wm->AddMouseListener(listener);

    Send(TEvent::kMouseDown, 110, 120);
    ASSERT_EQ(listener->points.size(), 1u);
    EXPECT_EQ(listener->points[0], TPoint(10, 20));
    Send(TEvent::kMouseUp, 5, 5);
    EXPECT_EQ(listener->log, (std::vector<std::string>{"down", "leave", "up"}));
    EXPECT_EQ(listener->points.back(), TPoint(-95, -95));
    EXPECT_TRUE(target->log.empty());

    // A listener that removes itself on leaving gets nothing more.
    listener->leaveRemoves = true;
    Send(TEvent::kMouseUp, 5, 5);
    EXPECT_EQ(listener->log.back(), "leave");
    Send(TEvent::kMouseDown, 5, 5);
    EXPECT_EQ(target->log, (std::vector<std::string>{"down"}));
}

TEST_F(WindowManagerTest, PushingAModalStopsTheListenerWalkAndMakesListenersLeave)
{
    struct TPusher : TProbeWindow
    {
        using TProbeWindow::TProbeWindow;
        bool OnMouseDown(const TPoint&) override
        {
            TWindowManager::GetInstance()->PushModal(new TModalWindow);
            return true;
        }
    };
    auto* second = new TProbeWindow("second", true);
    auto* pusher = new TPusher("pusher");
    screen->AdoptChild(second, true);
    screen->AdoptChild(pusher, true);
    second->SetWindowSize(640, 480);
    pusher->SetWindowSize(640, 480);
    wm->AddMouseListener(second);
    wm->AddMouseListener(pusher);  // front: walked first
    Send(TEvent::kMouseDown, 1, 1);
    EXPECT_EQ(second->log, (std::vector<std::string>{"leave"}));
    EXPECT_TRUE(wm->GetMouseListeners().empty());
    EXPECT_NE(wm->GetTopModalWindow(), screen);
}

TEST_F(WindowManagerTest, OverlaysComeFirstInOverlayMouseMode)
{
    auto* overlay = new TProbeWindow("overlay", true);
    overlay->SetWindowSize(20, 20);
    wm->AddOverlayWindow(overlay);
    auto* below = new TProbeWindow("below", false);
    screen->AdoptChild(below, true);
    below->SetWindowSize(640, 480);
    below->takeMessages = true;
    wm->SetFocusWindow(below);

    Send(TEvent::kMouseDown, 5, 5);
    EXPECT_TRUE(overlay->log.empty());
    EXPECT_EQ(below->log.size(), 1u);

    TConfig::SetConfig("overlaymouse", "1");
    Send(TEvent::kMouseDown, 5, 5);
    EXPECT_EQ(overlay->log.size(), 1u);
    EXPECT_EQ(wm->GetHoveredWindow(), overlay);
    // Unhandled by the overlay and the stack: the manager posts the mouse-up itself.
    overlay->mTakeMouse = false;
    wm->SetFocusWindow(below);
    Send(TEvent::kMouseUp, 300, 300);
    TConfig::SetConfig("overlaymouse", "");
    EXPECT_EQ(below->messages, (std::vector<std::string>{"mouse:up"}));
}

TEST_F(WindowManagerTest, PopModalByNameOrIdPopsEverythingAbove)
{
    auto* a = new TProbeModal("a");
    auto* b = new TProbeModal("b");
    auto* c = new TProbeModal("c");
    auto* d = new TProbeModal("d");
    for (TModalWindow* m : {static_cast<TModalWindow*>(a), static_cast<TModalWindow*>(b), static_cast<TModalWindow*>(c),
                            static_cast<TModalWindow*>(d)})
        wm->PushModal(m);
    EXPECT_EQ(d->GetParent(), c);
    EXPECT_TRUE(a->GetClock().IsPaused());

    wm->PopModal("b");  // three layers down: b, c and d go
    EXPECT_EQ(wm->GetTopModalWindow(), a);
    EXPECT_EQ(wm->GetModalStack().size(), 2u);
    EXPECT_FALSE(a->GetClock().IsPaused());
    EXPECT_EQ(wm->GetFocusWindow(), a);

    auto* e = new TProbeModal("e");
    wm->PushModal(e);
    wm->PopModal("nothing");
    EXPECT_EQ(wm->GetTopModalWindow(), e);
    wm->PopModal(WindowIdText(e->GetId()));
    EXPECT_EQ(wm->GetTopModalWindow(), a);
    wm->ClearDestroyedWindows();
    EXPECT_EQ(screen->GetChildren().size(), 1u);
}

TEST_F(WindowManagerTest, MessagesGoToTargetsHandlersThenTheFocusWindow)
{
    auto* target = new TProbeWindow("target");
    target->takeMessages = true;
    auto* focus = new TProbeWindow("focus");
    focus->takeMessages = true;
    screen->AdoptChild(target, true);
    screen->AdoptChild(focus, true);

    struct THandler : TMessageHandler
    {
        std::vector<std::string>* seen;
        bool HandleMessage(TMessage* m) override
        {
            seen->push_back(m->GetName().c_str());
            return m->GetName() == str("handled");
        }
    };
    std::vector<std::string> seen;
    auto handler = std::make_unique<THandler>();
    handler->seen = &seen;
    wm->AddMessageHandler(std::move(handler));

    wm->PostWindowMessage(new TMessage(kGeneric, "targeted", target));
    wm->PostWindowMessage(new TMessage(kGeneric, "handled", nullptr));
    wm->PostWindowMessage(new TMessage(kGeneric, "free", nullptr));
    wm->SetFocusWindow(focus);
    wm->DispatchMessages();
    EXPECT_EQ(target->messages, (std::vector<std::string>{"targeted"}));
    EXPECT_EQ(seen, (std::vector<std::string>{"handled", "free"}));
    EXPECT_EQ(focus->messages, (std::vector<std::string>{"free"}));
    EXPECT_TRUE(wm->GetMessageQueue().empty());

    wm->PostWindowMessage(new TMessage(kQuitNow, "", nullptr));
    wm->DispatchMessages();
    EXPECT_EQ(exits, 1);
}

TEST_F(WindowManagerTest, MessagesToADestroyedWindowLoseTheirTarget)
{
    auto* doomed = new TProbeWindow("doomed");
    auto* inner = new TProbeWindow("inner");
    screen->AdoptChild(doomed, true);
    doomed->AdoptChild(inner, true);
    auto* focus = new TProbeWindow("focus");
    focus->takeMessages = true;
    screen->AdoptChild(focus, true);
    wm->SetFocusWindow(focus);

    wm->PostWindowMessage(new TMessage(kGeneric, "to-inner", inner));
    screen->OrphanChild(doomed);
    wm->SafeDestroyWindow(doomed);
    wm->SafeDestroyWindow(doomed);  // twice is harmless
    EXPECT_EQ(wm->GetMessageQueue().front()->GetTarget(), nullptr);
    Send(TEvent::kIdle);
    EXPECT_EQ(focus->messages, (std::vector<std::string>{"to-inner"}));
}

TEST_F(WindowManagerTest, WindowDestroyedWithoutOrphaningLeavesItsParent)
{
    auto* child = new TProbeWindow("child");
    screen->AdoptChild(child, true);
    wm->SafeDestroyWindow(child);
    Send(TEvent::kIdle);
    EXPECT_TRUE(screen->GetChildren().empty());
}

TEST_F(WindowManagerTest, FramesAreThrottledAndNeedAnInvalidation)
{
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 1);
    EXPECT_FALSE(wm->IsScreenInvalid());
    now += 20;
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 1);  // nothing invalidated

    wm->InvalidateScreen();
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 2);
    EXPECT_EQ(Display().endDraws, 2);
    EXPECT_EQ(wm->GetLastDrawTime(), now);

    // A refused frame start leaves the screen invalid.
    Display().acceptDraw = false;
    wm->InvalidateScreen();
    now += 20;
    Send(TEvent::kIdle);
    EXPECT_TRUE(wm->IsScreenInvalid());
}

TEST_F(WindowManagerTest, TwoIdleEventsWithinTwelveMillisecondsDrawOneFrame)
{
    Send(TEvent::kIdle);
    ASSERT_EQ(Display().beginDraws, 1);
    wm->InvalidateScreen();
    now += 11;
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 1);
    now += 1;
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 2);

    foreground = false;
    wm->InvalidateScreen();
    now += 199;
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 2);
    now += 1;
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 3);

    wm->SetDrawingSuspended(true);
    wm->InvalidateScreen();
    now += 500;
    Send(TEvent::kIdle);
    EXPECT_EQ(Display().beginDraws, 3);
}

// A window that comes into view in an idle turn is drawn in that turn, frame gap or not. When
// no frame can show it (drawing suspended, the frame refused), a press falls through it to the
// window behind.
TEST_F(WindowManagerTest, AWindowShownInAnIdleTurnIsDrawnThereOrTakesNoPress)
{
    struct TShow : TTask
    {
        TShow(TWindow* parent, TWindow* child) : parent(parent), child(child) {}
        bool DoTask() override { return !parent->AdoptChild(child, true); }
        TWindow* parent;
        TWindow* child;
    };
    auto* behind = new TProbeWindow("behind", true);
    screen->AdoptChild(behind, true);
    behind->SetWindowSize(640, 480);
    const struct
    {
        const char* what;
        bool suspended, refused, drawn;
    } cases[] = {
        {"drawn in its turn", false, false, true},
        {"drawing suspended", true, false, false},
        {"frame refused", false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        now += 20;
        Send(TEvent::kIdle);
        auto* front = new TProbeWindow("front", true);
        front->SetWindowPos(100, 100);
        front->SetWindowSize(50, 50);
        screen->AdoptTask(new TShow(screen, front));
        wm->SetDrawingSuspended(c.suspended);
        Display().acceptDraw = !c.refused;
        now += 5;
        Send(TEvent::kIdle);
        behind->log.clear();
        Send(TEvent::kMouseDown, 110, 110);
        EXPECT_EQ(front->draws, c.drawn ? 1 : 0);
        EXPECT_EQ(front->log.size(), c.drawn ? 1u : 0u);
        EXPECT_EQ(behind->log.size(), c.drawn ? 0u : 1u);
        wm->SetDrawingSuspended(false);
        Display().acceptDraw = true;
        screen->OrphanChild(front);
        delete front;
    }
}

// A modal window that a press or a key pushes takes no input until a frame has shown it: not
// the next press of a burst, nor the character typed with the key.
TEST_F(WindowManagerTest, AModalPushedByInputTakesNoInputBeforeItsFrame)
{
    struct TOpener : TProbeWindow
    {
        TOpener() : TProbeWindow("opener", true) {}
        bool OnMouseDown(const TPoint&) override { return Open(); }
        bool OnKeyDown(char, unsigned) override { return Open(); }
        bool Open()
        {
            dialog = new TProbeModal("dialog");
            TWindowManager::GetInstance()->PushModal(dialog);
            inside = new TProbeWindow("inside", true);
            dialog->AdoptChild(inside, true);
            inside->SetWindowSize(640, 480);
            cancel = new TTestButton("cancel", false, true);
            dialog->AdoptChild(cancel, true);
            return true;
        }
        TProbeModal* dialog = nullptr;
        TProbeWindow* inside = nullptr;
        TTestButton* cancel = nullptr;
    };
    auto* opener = new TOpener;
    screen->AdoptChild(opener, true);
    opener->SetWindowSize(640, 480);
    Send(TEvent::kIdle);

    Send(TEvent::kMouseDown, 10, 10);
    ASSERT_NE(opener->dialog, nullptr);
    Send(TEvent::kMouseDown, 10, 10);
    EXPECT_TRUE(opener->inside->log.empty());
    now += 20;
    Send(TEvent::kIdle);
    Send(TEvent::kMouseDown, 10, 10);
    EXPECT_EQ(opener->inside->log.size(), 1u);

    wm->PopModal("dialog");
    wm->SetFocusWindow(opener);
    now += 20;
    Send(TEvent::kIdle);
    Send(TEvent::kKeyDown, 0, 0, TEvent::kEscape);
    Send(TEvent::kChar, 0, 0, TEvent::kEscape);
    EXPECT_EQ(opener->cancel->commands, 0);
    now += 20;
    Send(TEvent::kIdle);
    Send(TEvent::kChar, 0, 0, TEvent::kEscape);
    EXPECT_EQ(opener->cancel->commands, 1);
}

TEST_F(WindowManagerTest, OpaqueFullScreenModalHidesEverythingBelow)
{
    auto* dialog = new TProbeModal("dialog");
    wm->PushModal(dialog);
    dialog->SetWindowSize(100, 100);
    auto* game = new TProbeModal("game");
    wm->PushModal(game);
    EXPECT_EQ(game->GetWindowWidth(), 100);  // sized to the window it was pushed on
    game->SetWindowSize(640, 480);
    auto* top = new TProbeModal("top");
    wm->PushModal(top);
    top->SetWindowSize(50, 50);

    Send(TEvent::kIdle);
    EXPECT_EQ(screen->draws, 1);
    EXPECT_EQ(dialog->draws, 1);
    EXPECT_EQ(game->draws, 1);
    EXPECT_EQ(top->draws, 1);

    auto* picture = new TWindow;
    game->AdoptChild(picture, true);
    picture->SetFlags(picture->GetFlags() | TWindow::kOpaque);
    picture->SetWindowSize(640, 480);
    ASSERT_TRUE(game->GetFlags() & TWindow::kOpaque);
    now += 20;
    wm->InvalidateScreen();
    Send(TEvent::kIdle);
    EXPECT_EQ(screen->draws, 1);
    EXPECT_EQ(dialog->draws, 1);
    EXPECT_EQ(game->draws, 2);
    EXPECT_EQ(top->draws, 2);

    wm->SetTopModalOnly(true);
    now += 20;
    wm->InvalidateScreen();
    Send(TEvent::kIdle);
    EXPECT_EQ(game->draws, 2);
    EXPECT_EQ(top->draws, 3);
}

TEST_F(WindowManagerTest, ScriptIsToldOfTheTopModalAndRunsCodeOnAWindow)
{
    struct TNotedScript : TWindowScriptBase
    {
        std::vector<TModalWindow*> tops;
        int messages = 0;
        void NewModalWindow(TModalWindow* m) override { tops.push_back(m); }
        void OnMessage(TMessage* m, TLuaFunction*) override
        {
            ++messages;
            delete m;
        }
    };
    auto* script = new TNotedScript;
    wm->AttachWindowScript(script);
    EXPECT_EQ(script->GetCurrentWindow(), screen);
    auto* modal = new TProbeModal("m");
    wm->PushModal(modal);
    wm->_PopModal();
    EXPECT_EQ(script->tops, (std::vector<TModalWindow*>{modal, screen}));

    // Unhandled messages at a modal root go to the script.
    wm->PostWindowMessage(new TMessage(kGeneric, "x", nullptr));
    wm->DispatchMessages();
    EXPECT_GE(script->messages, 1);

    auto* named = new TProbeWindow("named");
    screen->AdoptChild(named, true);
    lua_State* L = script->GetState();
    lua_pushstring(L, "Probe");
    lua_pushlightuserdata(L, script);
    lua_pushcclosure(
        L,
        [](lua_State* S) {
            auto* s = static_cast<TWindowScriptBase*>(lua_touserdata(S, lua_upvalueindex(1)));
            lua_pushstring(S, s->GetCurrentWindow() ? s->GetCurrentWindow()->GetName().c_str() : "");
            lua_setglobal(S, "seen");
            return 0;
        },
        1);
    lua_settable(L, LUA_GLOBALSINDEX);
    wm->DoLuaString(named, "Probe() SetTopModalOnly(true)");
    lua_getglobal(L, "seen");
    EXPECT_STREQ(lua_tostring(L, -1), "named");
    lua_pop(L, 1);
    EXPECT_EQ(script->GetCurrentWindow(), screen);

    wm->SetTopModalOnly(false);
    auto* top = new TProbeModal("top");
    wm->PushModal(top);
    wm->DoLuaString(named, "SetTopModalOnly(true)");
    Send(TEvent::kIdle);
    EXPECT_EQ(screen->draws, 0);
    EXPECT_EQ(top->draws, 1);
}

}  // namespace
