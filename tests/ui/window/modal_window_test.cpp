// Modal windows: hot keys, Enter and Escape, close requests, focus hand-over, closing notice.

#include "ui/support/ui_test_support.h"
#include "ui/window/message_types.h"

namespace {

TEST(HotKeyTest, NormalizedDescriptions)
{
    EXPECT_EQ(TModalWindow::NormalizeKeyString("Control-Shift-s"), str("shift-ctrl-S"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("alt-shift-F"), str("shift-alt-F"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("ctrl-x"), str("ctrl-X"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("control-x"), str("ctrl-X"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("Ctrl-X"), str("ctrl-X"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("@x"), str("@X"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("@shift-x"), str("@X"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("q"), str("Q"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString("@"), str("@"));
    EXPECT_EQ(TModalWindow::NormalizeKeyString(""), str(""));
}

class ModalWindowTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        screen = InstallScreen();
        modal = new TProbeModal("dialog");
        wm->PushModal(modal);
    }
    TProbeModal* screen = nullptr;
    TProbeModal* modal = nullptr;
};

TEST_F(ModalWindowTest, HotKeysPressButtonsByName)
{
    auto* first = new TTestButton("first");
    auto* second = new TTestButton("second");
    modal->AdoptChild(first, true);
    modal->AdoptChild(second, true);
    modal->AddHotkey("shift-S", "first");
    modal->AddHotkey("@s", "second");

    Send(TEvent::kKeyDown, 0, 0, 'S', TEvent::kShiftKey);
    EXPECT_EQ(first->presses, 1);
    Send(TEvent::kKeyDown, 0, 0, 'S', 0);
    Send(TEvent::kKeyDown, 0, 0, 'S', TEvent::kControlKey);
    EXPECT_EQ(second->presses, 2);
    EXPECT_EQ(first->presses, 1);
    // No entry: the key is not consumed, so the modal root posts it.
    EXPECT_FALSE(modal->OnKeyDown('Q', 0));

    // Registering again replaces; an empty button name deletes.
    modal->AddHotkey("Shift-s", "second");
    EXPECT_EQ(modal->GetHotkeys().at("shift-S"), str("second"));
    modal->AddHotkey("shift-s", "");
    EXPECT_EQ(modal->GetHotkeys().count("shift-S"), 0u);

    modal->AddHotkey("x", "nothere");
    TLogCapture log;
    EXPECT_TRUE(modal->OnKeyDown('X', 0));
    EXPECT_NE(log.Text().find("ERROR: Hot key button not found. Button:'nothere'"), std::string::npos);
}

TEST_F(ModalWindowTest, EnterAndEscapeRunDefaultAndCancelCommands)
{
    auto* ok = new TTestButton("ok", true, false);
    auto* cancel = new TTestButton("cancel", false, true);
    auto* panel = new TWindow;
    modal->AdoptChild(panel, true);
    panel->AdoptChild(ok, true);
    modal->AdoptChild(cancel, true);

    EXPECT_TRUE(modal->OnChar(TEvent::kEnter));
    EXPECT_EQ(ok->commands, 1);
    EXPECT_TRUE(modal->OnChar(TEvent::kEscape));
    EXPECT_EQ(cancel->commands, 1);
    EXPECT_FALSE(modal->OnChar('a'));
    EXPECT_TRUE(wm->GetMessageQueue().empty());

    // A hidden default button leaves Enter to the focus window as a default action.
    auto* focus = new TProbeWindow("focus");
    modal->AdoptChild(focus, true);
    wm->SetFocusWindow(focus);
    panel->SetFlags(0);
    EXPECT_TRUE(modal->OnChar(TEvent::kEnter));
    EXPECT_EQ(ok->commands, 1);
    ASSERT_EQ(focus->messages.size(), 1u);
}

// Enter, Escape and hot keys press only buttons that a frame has shown.
TEST_F(ModalWindowTest, KeysPressNoButtonBeforeAFrameShowsIt)
{
    Send(TEvent::kIdle);
    auto* ok = new TTestButton("ok", true, false);
    auto* cancel = new TTestButton("cancel", false, true);
    modal->AdoptChild(ok, true);
    modal->AdoptChild(cancel, true);
    modal->AddHotkey("x", "ok");
    for (int frames = 0; frames < 2; ++frames) {
        Send(TEvent::kChar, 0, 0, TEvent::kEnter);
        Send(TEvent::kChar, 0, 0, TEvent::kEscape);
        Send(TEvent::kKeyDown, 0, 0, 'X');
        EXPECT_EQ(ok->commands, frames);
        EXPECT_EQ(cancel->commands, frames);
        EXPECT_EQ(ok->presses, frames);
        now += 20;
        Send(TEvent::kIdle);
    }
}

TEST_F(ModalWindowTest, DefaultButtonWithoutCommandAlsoSendsDefaultAction)
{
    auto* ok = new TTestButton("ok", true, false, false);
    modal->AdoptChild(ok, true);
    auto* focus = new TProbeWindow("focus");
    focus->takeMessages = true;
    modal->AdoptChild(focus, true);
    wm->SetFocusWindow(focus);
    Send(TEvent::kChar, 0, 0, TEvent::kEnter);
    EXPECT_EQ(ok->commands, 1);
    EXPECT_EQ(focus->messages.size(), 1u);
}

TEST_F(ModalWindowTest, CloseMessagePopsByNameAndEmptyNameClosesNothing)
{
    TMessage other(kButtonPress, "dialog", nullptr);
    EXPECT_FALSE(modal->OnMessage(&other));
    TMessage close(kCloseWindow, "dialog", nullptr);
    EXPECT_TRUE(modal->OnMessage(&close));
    EXPECT_EQ(wm->GetTopModalWindow(), screen);

    // Without a name the message is taken and nothing closes.
    auto* lower = new TProbeModal("lower");
    auto* upper = new TProbeModal("upper");
    wm->PushModal(lower);
    wm->PushModal(upper);
    TMessage unnamed(kCloseWindow, "", upper);
    EXPECT_TRUE(upper->OnMessage(&unnamed));
    EXPECT_EQ(wm->GetTopModalWindow(), upper);
}

TEST_F(ModalWindowTest, DefaultFocusTakesTheFocusFromItsModal)
{
    auto* edit = new TProbeWindow("edit");
    modal->AdoptChild(edit, true);
    ASSERT_EQ(wm->GetFocusWindow(), modal);
    modal->SetDefaultFocus(edit);
    EXPECT_EQ(wm->GetFocusWindow(), edit);
    EXPECT_EQ(edit->focusCalls, 1);
    // A click in the modal gives the focus to the modal, which hands it on.
    Send(TEvent::kMouseDown, 600, 400);
    EXPECT_EQ(wm->GetFocusWindow(), edit);
    EXPECT_EQ(edit->focusCalls, 2);
}

TEST_F(ModalWindowTest, DestructionPostsTheClosingNoticeWithTheIdText)
{
    const str id = WindowIdText(modal->GetId());
    wm->PopModal("dialog");
    wm->ClearDestroyedWindows();
    bool found = false;
    for (TMessage* m : wm->GetMessageQueue())
        found = found || (m->GetType() == kModalClosed && m->GetName() == id);
    EXPECT_TRUE(found);
    EXPECT_EQ(id.length(), 8u);
}

}  // namespace
