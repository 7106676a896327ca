// The standard widgets driven by synthetic events: layered windows, push, toggle and radio
// buttons with their click mask and commands, sliders, text windows and text edits.

#include "core/script/lua_table.h"
#include "core/script/message.h"
#include "core/time/time_source.h"
#include "ui/screen/image.h"
#include "ui/style/window_style.h"
#include "ui/support/ui_test_support.h"
#include "ui/widgets/button.h"
#include "ui/widgets/layered_window.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/widgets/text_edit.h"
#include "ui/widgets/widget_services.h"
#include "ui/window/message_types.h"
#include "ui/window/window_spider.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// Notes the type and name of every message that reaches it, and takes them.
class TMessageLog : public TWindow
{
public:
    bool OnMessage(TMessage* m) override
    {
        got.emplace_back(m->GetType(), std::string(m->GetName().c_str()));
        return true;
    }
    std::vector<std::pair<int, std::string>> got;
};

class WidgetTest : public UiTest
{
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        SetTimeSource([this] { return clock; });
        screen = InstallScreen();
        modal = new TProbeModal("modal");
        wm->PushModal(modal);
    }
    void TearDown() override
    {
        SetClipboardReader(nullptr);
        UiTest::TearDown();
        SetTimeSource(nullptr);
    }
    template <class T>
    T* Place(T* window, TWindow* parent, int x, int y, int w, int h)
    {
        parent->AdoptChild(window, true);
        window->SetWindowPos(x, y);
        window->SetWindowSize(w, h);
        return window;
    }
    TButton* MakeButton(const char* name, TButton::EKind kind, TWindow* parent, int x)
    {
        auto* button = new TButton;
        button->SetName(name);
        button->SetKind(kind);
        return Place(button, parent, x, 10, 40, 20);
    }
    void Move(int x, int y) { Send(TEvent::kMouseMove, x, y); }
    void Down(int x, int y) { Send(TEvent::kMouseDown, x, y); }
    void Up(int x, int y) { Send(TEvent::kMouseUp, x, y); }
    std::vector<int> QueuedTypes() const
    {
        std::vector<int> types;
        for (TMessage* m : wm->GetMessageQueue())
            types.push_back(m->GetType());
        return types;
    }

    uint32_t clock = 0;
    TProbeModal* screen = nullptr;
    TProbeModal* modal = nullptr;
};

// --- layered windows ---

TEST_F(WidgetTest, LayeredWindowShowsOneLayerAndChildrenOfAllLayers)
{
    auto* layered = Place(new TLayeredWindow(2), modal, 0, 0, 100, 100);
    auto* first = new TWindow;
    layered->AdoptChild(first, true);
    layered->SetCurrentLayer(1);
    auto* second = new TWindow;
    layered->AdoptChild(second, true);
    layered->SetCurrentLayer(TLayeredWindow::kAllLayers);
    auto* always = new TWindow;
    layered->AdoptChild(always, true);

    layered->SetCurrentLayer(1);
    EXPECT_FALSE(first->GetFlags() & TWindow::kEnabled);
    EXPECT_TRUE(second->GetFlags() & TWindow::kEnabled);
    EXPECT_TRUE(always->GetFlags() & TWindow::kEnabled);
    layered->SetCurrentLayer(TLayeredWindow::kAllLayers);
    EXPECT_TRUE(first->GetFlags() & TWindow::kEnabled);
    EXPECT_FALSE(second->GetFlags() & TWindow::kEnabled);
    EXPECT_TRUE(always->GetFlags() & TWindow::kEnabled);

    // The current layer again leaves a hidden child hidden.
    always->SetFlags(always->GetFlags() & ~TWindow::kEnabled);
    layered->SetCurrentLayer(TLayeredWindow::kAllLayers);
    EXPECT_FALSE(always->GetFlags() & TWindow::kEnabled);

    TLogCapture log;
    layered->SetCurrentLayer(2);
    layered->SetCurrentLayer(-5);
    EXPECT_EQ(layered->GetCurrentLayer(), TLayeredWindow::kAllLayers);
    EXPECT_NE(log.Text().find("has no layer 2"), std::string::npos);
}

TEST_F(WidgetTest, OrphaningRemovesEveryEntryOfTheChild)
{
    auto* layered = Place(new TLayeredWindow(2), modal, 0, 0, 100, 100);
    auto* child = new TWindow;
    layered->AdoptChild(child, true);
    layered->AdoptChild(child, true);
    layered->SetCurrentLayer(1);
    layered->AdoptChild(child, true);
    EXPECT_EQ(layered->GetLayer(0).size(), 2u);
    layered->OrphanChild(child);
    EXPECT_TRUE(layered->GetLayer(0).empty());
    EXPECT_TRUE(layered->GetLayer(1).empty());
    delete child;
    layered->SetCurrentLayer(0);
}

// --- buttons ---

TEST_F(WidgetTest, ToggleButtonLayersFollowTheMouse)
{
    TButton* toggle = MakeButton("check", TButton::kToggle, modal, 10);
    EXPECT_EQ(toggle->GetCurrentLayer(), 0);
    Move(15, 15);
    EXPECT_EQ(toggle->GetState(), TButton::kOver);
    EXPECT_EQ(toggle->GetCurrentLayer(), 2);
    Down(15, 15);
    EXPECT_EQ(toggle->GetCurrentLayer(), 1);
    EXPECT_TRUE(wm->IsMouseListener(toggle));
    Up(15, 15);
    EXPECT_TRUE(toggle->IsOn());
    EXPECT_EQ(toggle->GetCurrentLayer(), 3);
    Move(300, 300);
    EXPECT_EQ(toggle->GetState(), TButton::kAway);
    EXPECT_EQ(toggle->GetCurrentLayer(), 1);
    EXPECT_FALSE(wm->IsMouseListener(toggle));
}

TEST_F(WidgetTest, PushButtonPostsItsPressToItsParent)
{
    auto* panel = Place(new TMessageLog, modal, 0, 0, 200, 100);
    TButton* push = MakeButton("go", TButton::kPush, panel, 10);
    Move(15, 15);
    Down(15, 15);
    EXPECT_EQ(push->GetCurrentLayer(), 1);
    Up(15, 15);
    EXPECT_EQ(push->GetCurrentLayer(), 2);
    ASSERT_EQ(panel->got.size(), 1u);
    EXPECT_EQ(panel->got[0], std::make_pair(int(kButtonPress), std::string("go")));
}

TEST_F(WidgetTest, ReleaseOutsideTheButtonDoesNotPress)
{
    auto* panel = Place(new TMessageLog, modal, 0, 0, 200, 100);
    MakeButton("go", TButton::kPush, panel, 10);
    Move(15, 15);
    Down(15, 15);
    Up(150, 80);
    EXPECT_TRUE(panel->got.empty());
}

TEST_F(WidgetTest, RadioButtonClearsOnlyItsOwnGroup)
{
    auto* panel = Place(new TWindow, modal, 0, 0, 400, 100);
    std::vector<TButton*> buttons;
    for (int i = 0; i < 5; ++i)
        buttons.push_back(MakeButton(("r" + std::to_string(i)).c_str(), TButton::kRadio, panel, 10 + 50 * i));
    // Groups: r0 r1 r2 | r3 r4.
    buttons[0]->SetBeginGroup(true);
    buttons[3]->SetBeginGroup(true);
    buttons[0]->SetOn(true);
    buttons[3]->SetOn(true);
    buttons[4]->SetOn(true);
    EXPECT_FALSE(buttons[3]->IsOn());

    Move(115, 15);
    Down(115, 15);
    Up(115, 15);
    EXPECT_TRUE(buttons[2]->IsOn());
    EXPECT_FALSE(buttons[0]->IsOn());
    EXPECT_FALSE(buttons[1]->IsOn());
    EXPECT_TRUE(buttons[4]->IsOn());
}

TEST_F(WidgetTest, ClickOnANearBlackMaskPixelIsNoPress)
{
    auto* panel = Place(new TMessageLog, modal, 0, 0, 200, 100);
    TButton* button = MakeButton("masked", TButton::kPush, panel, 10);
    // Left half near-black (19, 19, 19), right half white; half the button's size.
    std::vector<TColor32> mask(20 * 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            mask[size_t(y * 20 + x)] = x < 10 ? TColor32(19, 19, 19, 255) : TColor32(255, 255, 255, 0);
    button->SetClickMask(std::move(mask), 20, 10);

    Move(15, 15);
    EXPECT_EQ(button->GetState(), TButton::kAway);
    Down(15, 15);
    EXPECT_EQ(button->GetState(), TButton::kAway);
    Up(15, 15);
    EXPECT_TRUE(panel->got.empty());

    Move(45, 15);
    Down(45, 15);
    Up(45, 15);
    EXPECT_EQ(panel->got.size(), 1u);
}

TEST_F(WidgetTest, CommandThatPopsItsOwnModalDropsThePressUnlessSentToParent)
{
    struct PopModal : TButton::Action
    {
        bool DoAction(TButton*) override
        {
            TWindowManager::GetInstance()->PopModal("modal");
            return true;
        }
    };
    TButton* button = MakeButton("quit", TButton::kPush, modal, 10);
    button->SetCommand(new PopModal);
    Move(15, 15);
    Down(15, 15);
    Up(15, 15);
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
    // Only the modal's closing notice is left; the press was dropped.
    for (int type : QueuedTypes())
        EXPECT_NE(type, int(kButtonPress));

    auto* second = new TProbeModal("modal");
    wm->PushModal(second);
    TButton* forwarding = MakeButton("quit", TButton::kPush, second, 10);
    forwarding->SetCommand(new PopModal);
    forwarding->SetSendToParent(true);
    EXPECT_TRUE(forwarding->DoCommand());
    const std::vector<int> types = QueuedTypes();
    EXPECT_NE(std::find(types.begin(), types.end(), int(kButtonPress)), types.end());
}

TEST_F(WidgetTest, CloseButtonAsksItsModalToClose)
{
    TButton* button = MakeButton("cancel", TButton::kPush, modal, 10);
    button->SetClose(true);
    EXPECT_FALSE(button->DoCommand());
    ASSERT_EQ(wm->GetMessageQueue().size(), 2u);
    EXPECT_EQ(wm->GetMessageQueue().front()->GetType(), kCloseWindow);
    EXPECT_EQ(wm->GetMessageQueue().front()->GetName(), WindowIdText(modal->GetId()));
    EXPECT_EQ(wm->GetMessageQueue().back()->GetType(), kButtonPress);
    wm->DispatchMessages();
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
}

TEST_F(WidgetTest, DefaultButtonIsFoundByTheModalsVisitor)
{
    TButton* ok = MakeButton("ok", TButton::kPush, modal, 10);
    ok->SetDefault(true);
    FindDefault find;
    modal->ForEachChild(find);
    EXPECT_EQ(find.mDefault, static_cast<TButtonControl*>(ok));
    ok->SetFlags(ok->GetFlags() & ~TWindow::kEnabled);
    FindDefault hidden;
    modal->ForEachChild(hidden);
    EXPECT_EQ(hidden.mDefault, nullptr);

    auto* slider = Place(new TSlider, modal, 100, 0, 20, 100);
    FindNonSlider nonSlider;
    modal->ForEachChild(nonSlider);
    EXPECT_EQ(nonSlider.mResult, static_cast<TWindow*>(ok));
    (void)slider;
}

// --- sliders ---

class SliderTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        panel = Place(new TMessageLog, modal, 0, 0, 300, 300);
        slider = Place(new TSlider, panel, 10, 10, 20, 100);
        slider->SetName("volume");
        slider->SetSliderTexture(nullptr, nullptr);
        slider->GetThumb()->SetWindowSize(20, 10);
        slider->SetSliderSize();
        slider->SetValue(0.5f, true);
    }
    TMessageLog* panel = nullptr;
    TSlider* slider = nullptr;
};

TEST_F(SliderTest, DraggingReportsEveryMoveClampedToTheEnds)
{
    EXPECT_EQ(slider->GetThumb()->GetRect().top, 45);
    Move(20, 60);
    Down(20, 60);
    ASSERT_TRUE(slider->IsDragging());
    Move(20, -40);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    Move(20, -80);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    Move(20, 500);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_EQ(slider->GetThumb()->GetRect().top, 90);
    Move(20, 35);
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.25f);
    Up(20, 35);
    EXPECT_FALSE(slider->IsDragging());
    std::vector<int> types;
    for (const auto& [type, name] : panel->got) {
        types.push_back(type);
        EXPECT_EQ(name, "volume");
    }
    const std::vector<int> expected{kSliderValChanged, kSliderValChanged, kSliderValChanged, kSliderValChanged,
                                    kSliderMouseUp};
    EXPECT_EQ(types, expected);
}

TEST_F(SliderTest, RailClicksOnlyPage)
{
    Move(20, 100);
    Down(20, 100);
    Up(20, 100);
    Move(20, 15);
    Down(20, 15);
    Up(20, 15);
    ASSERT_EQ(panel->got.size(), 2u);
    EXPECT_EQ(panel->got[0].first, kSliderPageDown);
    EXPECT_EQ(panel->got[1].first, kSliderPageUp);
    EXPECT_EQ(slider->GetValue(), 0.5f);
}

// Page messages that no window takes go on to the window script; the thumb still stays.
TEST_F(SliderTest, RailClicksNoWindowTakesLeaveTheThumb)
{
    auto* lone = Place(new TSlider, modal, 200, 10, 20, 100);
    lone->SetSliderTexture(nullptr, nullptr);
    lone->GetThumb()->SetWindowSize(20, 10);
    lone->SetSliderSize();
    lone->SetValue(0.5f, true);
    for (const TPoint& click : {TPoint(10, 80), TPoint(10, 5), TPoint(10, 99)}) {
        EXPECT_TRUE(lone->OnMouseDown(click));
        EXPECT_FLOAT_EQ(lone->GetValue(), 0.5f);
        EXPECT_EQ(lone->GetThumb()->GetRect().top, 45);
    }
    EXPECT_TRUE(wm->GetMessageQueue().empty());
}

TEST_F(SliderTest, SilentValuesAreNotReportedAndNaNIsZero)
{
    slider->SetValue(2.0f, true);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_TRUE(panel->got.empty());
    slider->SetValue(0.0f / 0.0f, false);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    ASSERT_EQ(panel->got.size(), 1u);
    EXPECT_EQ(panel->got[0].first, kSliderValChanged);

    // Dragging on a slider with no extent gives numbers, not NaN.
    slider->SetWindowSize(20, 0);
    Move(20, 10);
    Down(20, 10);
    Move(20, 10);
    EXPECT_FALSE(slider->GetValue() != slider->GetValue());
}

// --- styles from Lua ---

class StyledTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        lua = std::make_unique<TScript>();
    }
    void TearDown() override
    {
        // The windows hold Lua functions of this state.
        WidgetTest::TearDown();
        lua.reset();
    }
    std::unique_ptr<TLuaTable> Table(const char* code)
    {
        EXPECT_EQ(lua->DoLuaString(str("gStyle = ") + code, -1, 0), 0);
        lua_State* L = lua->GetState();
        lua_pushstring(L, "gStyle");
        lua_rawget(L, LUA_GLOBALSINDEX);
        return std::make_unique<TLuaTable>(L);
    }
    std::unique_ptr<TScript> lua;
};

TEST_F(StyledTest, SliderShapeAndSingleInit)
{
    auto* wide = new TSlider;
    modal->AdoptChild(wide, true);
    auto table = Table("{ w = 200, h = 20, value = 0.25 }");
    TWindowStyle style(table.get());
    wide->Init(style);
    EXPECT_TRUE(wide->IsHorizontal());
    EXPECT_EQ(wide->GetValue(), 0.25f);

    auto again = Table("{ w = 200, h = 20, value = 0.75, hslider = 0 }");
    TWindowStyle second(again.get());
    wide->Init(second);
    EXPECT_TRUE(wide->IsHorizontal());
    EXPECT_EQ(wide->GetValue(), 0.25f);

    auto* forced = new TSlider;
    modal->AdoptChild(forced, true);
    auto vertical = Table("{ w = 200, h = 20, hslider = 0 }");
    TWindowStyle third(vertical.get());
    forced->Init(third);
    EXPECT_FALSE(forced->IsHorizontal());
}

TEST_F(StyledTest, TextWindowFontDefaultsAndZeroSize)
{
    auto* text = new TText;
    modal->AdoptChild(text, true);
    auto table = Table("{ name = 't', label = 'Hello', w = 100, h = 20, font = { '__DEFAULT', 0 } }");
    TWindowStyle style(table.get());
    text->Init(style);
    EXPECT_EQ(text->GetText(), str("Hello"));

    auto* empty = new TText;
    modal->AdoptChild(empty, true);
    auto none = Table("{ name = 'e', label = 'x' }");
    TWindowStyle zero(none.get());
    TLogCapture log;
    empty->Init(zero);
    EXPECT_NE(log.Text().find("ERROR: Attempting to create text window of size(0,0): named 'e', label 'x'"),
              std::string::npos);
    EXPECT_EQ(empty->GetGraphic(), nullptr);
    EXPECT_FALSE(empty->OnMouseDown(TPoint(0, 0)));
}

TEST_F(StyledTest, ButtonStyleKeys)
{
    auto* button = new TButton;
    modal->AdoptChild(button, true);
    auto table = Table("{ name = 'b', type = kRadio or 2, beginGroup = true, default = true, cancel = true,"
                       " close = true, on = true, sendToParent = true, w = 30, h = 10,"
                       " command = function() gRan = 1 end }");
    TWindowStyle style(table.get());
    button->Init(style);
    button->PostChildrenInit(style);
    EXPECT_EQ(button->GetKind(), TButton::kRadio);
    EXPECT_TRUE(button->GetFlags() & TWindow::kBeginGroup);
    EXPECT_TRUE(button->IsDefaultButton());
    EXPECT_TRUE(button->IsCancelButton());
    EXPECT_TRUE(button->IsOn());
    EXPECT_NE(dynamic_cast<TButton::LuaAction*>(button->GetCommand()), nullptr);
    EXPECT_EQ(button->GetCurrentLayer(), 1);
}

// --- text windows ---

TEST_F(WidgetTest, TextChangesInvalidateAndLinksPressButtons)
{
    auto* text = Place(new TText, modal, 0, 0, 200, 40);
    ASSERT_TRUE(text->Create("", 200, 40, 0, "__DEFAULT", 16, TColor(1, 1, 1, 1)));
    now += 20;
    Send(TEvent::kIdle);
    EXPECT_FALSE(wm->IsScreenInvalid());
    text->SetText("now shown");
    EXPECT_TRUE(wm->IsScreenInvalid());
    now += 20;
    Send(TEvent::kIdle);
    text->SetText("now shown");
    EXPECT_FALSE(wm->IsScreenInvalid());

    auto* panel = Place(new TMessageLog, modal, 0, 100, 200, 40);
    MakeButton("help", TButton::kPush, panel, 150);
    text->SetText("<a id=\"help\">HELP HELP</a> and <a id=\"missing\">GONE</a>");
    TRect r;
    text->GetTextBounds(&r);
    ASSERT_GT(r.right, 0);
    EXPECT_TRUE(text->OnMouseDown(TPoint(4, 8)));
    EXPECT_TRUE(text->OnMouseUp(TPoint(4, 8)));
    ASSERT_EQ(panel->got.size(), 0u);
    wm->DispatchMessages();
    ASSERT_EQ(panel->got.size(), 1u);
    EXPECT_EQ(panel->got[0].second, "help");

    // Released over something else: nothing is pressed and the link is forgotten.
    EXPECT_TRUE(text->OnMouseDown(TPoint(4, 8)));
    EXPECT_TRUE(text->OnMouseUp(TPoint(199, 39)));
    EXPECT_TRUE(text->GetPressedLink().empty());
    wm->DispatchMessages();
    EXPECT_EQ(panel->got.size(), 1u);
}

TEST_F(WidgetTest, LabelsResolveThroughTheStringTable)
{
    EXPECT_EQ(TText::ResolveLabel("#12", true), str("12"));
    EXPECT_EQ(TText::ResolveLabel("3.5", true), str("3.5"));
    EXPECT_EQ(TText::ResolveLabel("title", false), str("title"));
    EXPECT_EQ(TText::ResolveLabel("#12", false), str("#12"));
}

// --- text edits ---

class TextEditTest : public WidgetTest
{
protected:
    TTextEdit* MakeEdit(const char* name, int y)
    {
        auto* edit = Place(new TTextEdit, modal, 0, y, 200, 24);
        edit->SetName(name);
        EXPECT_TRUE(edit->Create("", 200, 24, 0, "__DEFAULT", 16, TColor(1, 1, 1, 1)));
        return edit;
    }
    void Type(TTextEdit* edit, const char* text)
    {
        for (const char* p = text; *p;) {
            const unsigned length = Utf8CharLength(static_cast<unsigned char>(*p));
            edit->OnUTF8Char(str(p, length));
            p += length;
        }
    }
    // As a real mouse clicks: it gets there first.
    void Click(int x, int y)
    {
        Move(x, y);
        Down(x, y);
        Up(x, y);
    }
    size_t Changes() const
    {
        size_t n = 0;
        for (TMessage* m : wm->GetMessageQueue())
            n += m->GetType() == kTextEditChanged;
        return n;
    }
};

TEST_F(TextEditTest, LengthLimitAndPaste)
{
    TTextEdit* edit = MakeEdit("name", 0);
    Type(edit, "abcdefghijkl");
    EXPECT_EQ(edit->GetText(), str("abcdefghi"));
    EXPECT_EQ(Changes(), 9u);

    SetClipboardReader([] { return str("ABCDEFGHIJKLMNO"); });
    EXPECT_TRUE(edit->OnKeyDown('V', TEvent::kControlKey));
    EXPECT_EQ(edit->GetText(), str("ABCDEFGHIJ"));
    EXPECT_EQ(edit->GetCursor(), 10u);
    EXPECT_EQ(Changes(), 9u);  // only typed characters are announced

    // Nothing usable on the clipboard: the field keeps its text.
    SetClipboardReader([] { return str("\t\r\n"); });
    EXPECT_TRUE(edit->OnKeyDown(char(TEvent::kPaste), 0));
    EXPECT_EQ(edit->GetText(), str("ABCDEFGHIJ"));
    SetClipboardReader([] { return str("caf\xc3\xa9"); });
    edit->OnKeyDown('V', TEvent::kControlKey);
    EXPECT_EQ(edit->GetText(), str("ABCDEFGHIJ"));
}

TEST_F(TextEditTest, IgnoredAndControlCharacters)
{
    TTextEdit* edit = MakeEdit("name", 0);
    edit->SetIgnore("/");
    Type(edit, "a/b");
    EXPECT_EQ(edit->GetText(), str("ab"));
    EXPECT_EQ(Changes(), 3u);
    EXPECT_FALSE(edit->OnUTF8Char(str("\x7f")));
    EXPECT_FALSE(edit->OnUTF8Char(str("\x01")));
    EXPECT_FALSE(edit->OnUTF8Char(str("\xc3\xa9")));
    EXPECT_EQ(edit->GetText(), str("ab"));
    // Delete before the end changes the text without an announcement.
    edit->OnKeyDown(char(TEvent::kLeft), 0);
    EXPECT_TRUE(edit->OnKeyDown(char(TEvent::kDelete), 0));
    EXPECT_EQ(edit->GetText(), str("a"));
    EXPECT_EQ(Changes(), 3u);
    // Keys with Control reach the modal's hot keys; plain ones are swallowed.
    EXPECT_FALSE(edit->OnKeyDown('A', TEvent::kControlKey));
    EXPECT_TRUE(edit->OnKeyDown('A', 0));
    EXPECT_FALSE(edit->OnKeyDown('a', 0));
}

TEST_F(TextEditTest, Utf8ModeStepsOverWholeCharacters)
{
    TTextEdit* edit = MakeEdit("name", 0);
    edit->SetUTF8(true);
    edit->SetMaxLength(4);
    Type(edit, "a\xc3\xa9z\xc3\xb1q");
    EXPECT_EQ(edit->GetText(), str("a\xc3\xa9z\xc3\xb1"));
    edit->OnKeyDown(char(TEvent::kLeft), 0);
    EXPECT_EQ(edit->GetCursor(), 4u);
    edit->OnKeyDown(char(TEvent::kLeft), 0);
    EXPECT_EQ(edit->GetCursor(), 3u);
    edit->OnKeyDown(char(TEvent::kLeft), 0);
    EXPECT_EQ(edit->GetCursor(), 1u);
    edit->OnKeyDown(char(TEvent::kRight), 0);
    EXPECT_EQ(edit->GetCursor(), 3u);
    edit->OnUTF8Char(str("\b"));
    EXPECT_EQ(edit->GetText(), str("az\xc3\xb1"));
    EXPECT_EQ(edit->GetCursor(), 1u);
    edit->OnKeyDown(char(TEvent::kRight), 0);
    edit->OnKeyDown(char(TEvent::kDelete), 0);
    EXPECT_EQ(edit->GetText(), str("az"));
    // A character no font can draw is refused.
    EXPECT_FALSE(edit->OnUTF8Char(str("\xe4\xb8\xad")));
    EXPECT_EQ(edit->GetText(), str("az"));
}

TEST_F(TextEditTest, PasswordCaretAndMarkup)
{
    TTextEdit* edit = MakeEdit("secret", 0);
    edit->SetPassword(true);
    Type(edit, "abc");
    edit->OnKeyDown(char(TEvent::kLeft), 0);
    EXPECT_EQ(edit->TText::GetText(), str("***"));
    wm->SetFocusWindow(edit);
    clock = 500;
    edit->UpdateText();
    EXPECT_EQ(edit->TText::GetText(), str("**<cursor>*"));
    clock = 900;
    edit->UpdateText();
    EXPECT_EQ(edit->TText::GetText(), str("***"));

    TTextEdit* plain = MakeEdit("plain", 40);
    Type(plain, "<b>\\");
    EXPECT_EQ(plain->GetText(), str("<b>\\"));
    EXPECT_EQ(plain->TText::GetText(), str("\\<b>\\\\"));
}

TEST_F(TextEditTest, TabMovesThroughTheGroupAndWraps)
{
    TTextEdit* first = MakeEdit("first", 0);
    TTextEdit* second = MakeEdit("second", 40);
    ASSERT_TRUE(first->GetGroup());
    EXPECT_EQ(first->GetGroup(), second->GetGroup());
    ASSERT_EQ(first->GetGroup()->size(), 2u);
    wm->SetFocusWindow(first);
    first->OnUTF8Char(str("\t"));
    EXPECT_EQ(wm->GetFocusWindow(), second);
    second->OnUTF8Char(str("\t"));
    EXPECT_EQ(wm->GetFocusWindow(), first);

    std::weak_ptr<TTextEdit::TGroup> group = first->GetGroup();
    modal->OrphanChild(second);
    delete second;
    EXPECT_EQ(group.lock()->size(), 1u);
}

TEST_F(TextEditTest, ClickGivesTheKeyboardBackAfterAButtonTookIt)
{
    // The field sits on a backdrop window, as in the layouts.
    auto* backdrop = Place(new TWindow, modal, 100, 160, 240, 32);
    auto* edit = Place(new TTextEdit, backdrop, 8, 4, 224, 24);
    edit->SetName("player");
    ASSERT_TRUE(edit->Create("", 224, 24, 0, "__DEFAULT", 16, TColor(1, 1, 1, 1)));
    MakeButton("ok", TButton::kPush, modal, 400);
    wm->SetFocusWindow(edit);
    Send(TEvent::kUnicodeChar, 0, 0, 'A');
    EXPECT_EQ(edit->GetText(), str("A"));

    // A click on the button hands the keyboard to the modal window: typing no longer edits.
    Click(410, 15);
    EXPECT_EQ(wm->GetFocusWindow(), modal);
    Send(TEvent::kUnicodeChar, 0, 0, 'x');
    EXPECT_EQ(edit->GetText(), str("A"));

    // Clicking into the field takes the keyboard back, and typing reaches the field again.
    const int modalFocusCalls = modal->focusCalls;
    Click(200, 175);
    EXPECT_EQ(wm->GetFocusWindow(), edit);
    EXPECT_EQ(modal->focusCalls, modalFocusCalls);
    Send(TEvent::kUnicodeChar, 0, 0, 'n');
    Send(TEvent::kUnicodeChar, 0, 0, 'n');
    EXPECT_EQ(edit->GetText(), str("Ann"));
    clock = 500;
    edit->UpdateText();
    EXPECT_EQ(edit->TText::GetText(), str("Ann<cursor>"));

    // The backdrop around the field is not part of it: a click there leaves the field.
    Click(102, 162);
    EXPECT_EQ(wm->GetFocusWindow(), modal);
    Send(TEvent::kUnicodeChar, 0, 0, 'e');
    EXPECT_EQ(edit->GetText(), str("Ann"));
}

}  // namespace
