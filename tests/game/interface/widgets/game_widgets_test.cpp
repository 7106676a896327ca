// The game's widgets: the demo's name dialog made by type name, the typing field (UTF-8 typed,
// deleted and pasted, sounds, placeholder, limit, the window it shows), the rollover area and
// the scrolled window.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/log_capture.h"
#include "core/files/file.h"
#include "core/platform/event.h"
#include "core/script/message.h"
#include "game/interface/layout_fixture.h"
#include "game/interface/widgets/custom_text_edit.h"
#include "game/interface/widgets/rollover_window.h"
#include "game/interface/widgets/scrolled_window.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_manager.h"
#include "sound/sources/ogg_data_source.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"
#include "ui/window/message_types.h"

namespace {

using GameWidgetsTest = GameLayoutTest;

TEST_F(GameWidgetsTest, DemoNameDialogIsMadeOfTheGameClasses)
{
    Lua("PushModal('namedialog'); ReadFile('layouts/entername.lua')");
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"entername", "dfWindow"},        {"title", "dfText"},     {"player", "TCustomTextEdit"},
        {"fieldhint", "TRolloverWindow"}, {"hint", "OutlineText"}, {"rules", "TScrolledWindow"},
        {"rulestext", "dfTextX"},         {"slider", "TSlider"},   {"ok", "tDFButton"},
    };
    for (const auto& [name, type] : cases) {
        TWindow* window = Find(name);
        ASSERT_NE(window, nullptr) << name;
        EXPECT_STREQ(window->GetTypeName(), type);
    }
    EXPECT_EQ(GetCast<TScrolledWindow>(Find("rules"))->GetContent(), Find("rulestext"));
    // The title is centred across the dialog by its box flags.
    EXPECT_EQ(Find("title")->GetRect().left, 20);

    TWindow* ok = Find("ok");
    EXPECT_FALSE(ok->IsVisible());
    TWindow* player = Find("player");
    EXPECT_EQ(std::string(GetCast<TText>(player)->GetText().c_str()), "entername_placeholder");
    player->OnUTF8Char("M");
    EXPECT_EQ(std::string(GetCast<TText>(player)->GetText().c_str()), "M");
    EXPECT_TRUE(ok->IsVisible());
}

TEST_F(GameWidgetsTest, TypingFollowsTheTextAsTheEditLeftIt)
{
    // The demo's typing sounds, played on a device that keeps every sound until it is heard.
    ASSERT_EQ(chdir(TV_ASSETS_RESOURCE_DIR), 0);
    TFile::mResourceMap.clear();
    TFile::ScanFolderForResources("assets", "");
    TSound::RegisterAssetLoaders();
    TOggDataSource::Register();
    TSoundManager sound(TSoundManager::eDevice::kLoopback);
    ASSERT_TRUE(sound.HasOutput());
    ASSERT_TRUE(sound.Init(false));
    Layout("TextEdit{ name = 'e', w = 200, h = 24, length = 4, utf8 = true, clearinitial = true,"
           "  enablewindow = 'ok', label = 'Your name' },"
           "Window{ name = 'ok', y = 30, w = 10, h = 10 }");
    auto* edit = GetCast<TCustomTextEdit>(Find("e"));
    ASSERT_NE(edit, nullptr);
    TWindow* ok = Find("ok");
    SetClipboardReader([] {
        return str("a\xC3\xB1"
                   "b");
    });
    const auto type = [edit](const char* text) { edit->OnUTF8Char(text); };
    const auto key = [edit](int code, unsigned modifiers = 0) { edit->OnKeyDown(char(code), modifiers); };
    struct Step
    {
        const char* what;
        std::function<void()> action;
        const char* text;
        bool shown;
        int sounds;
    };
    const Step steps[] = {
        {"placeholder", [] {}, "Your name", true, 0},
        {"first key wipes the placeholder", [&] { type("\xC3\xA9"); }, "\xC3\xA9", true, 1},
        {"second character", [&] { type("\xC3\x9F"); }, "\xC3\xA9\xC3\x9F", true, 1},
        {"delete after moving left", [&] { key(TEvent::kLeft), key(TEvent::kDelete); }, "\xC3\xA9", true, 0},
        {"backspace the last two-byte character", [&] { key(TEvent::kRight), type("\b"); }, "", false, 0},
        {"paste", [&] { key('V', TEvent::kControlKey); },
         "a\xC3\xB1"
         "b",
         true, 1},
        {"fill to the limit", [&] { type("c"); },
         "a\xC3\xB1"
         "bc",
         true, 1},
        {"refused past the limit", [&] { type("d"); },
         "a\xC3\xB1"
         "bc",
         true, 0},
        {"backspace to empty", [&] { type("\b"), type("\b"), type("\b"), type("\b"); }, "", false, 0},
        {"backspace on empty", [&] { type("\b"); }, "", false, 0},
        {"typed again", [&] { type("Z"); }, "Z", true, 1},
    };
    for (const Step& step : steps) {
        const size_t playing = sound.StreamCount();
        TLogCapture log;  // the sounds came with the field: a key loads nothing
        step.action();
        EXPECT_EQ(log.Text().find("sfx_typing"), std::string::npos) << step.what << log.Text();
        EXPECT_EQ(std::string(edit->GetText().c_str()), step.text) << step.what;
        EXPECT_EQ(ok->IsVisible(), step.shown) << step.what;
        EXPECT_EQ(sound.StreamCount() - playing, size_t(step.sounds)) << step.what;
    }
    SetClipboardReader(nullptr);
}

TEST_F(GameWidgetsTest, FirstClickWipesThePlaceholderOnce)
{
    Layout("TextEdit{ name = 'e', w = 200, h = 24, clearinitial = true, enablewindow = 'ok', label = 'Name' },"
           "TextEdit{ name = 'plain', y = 30, w = 200, h = 24, label = 'Kept' },"
           "Window{ name = 'ok', y = 60, w = 10, h = 10 }");
    auto* edit = GetCast<TCustomTextEdit>(Find("e"));
    auto* plain = GetCast<TCustomTextEdit>(Find("plain"));
    EXPECT_TRUE(edit->OnMouseUp(TPoint(1, 1)));
    EXPECT_EQ(edit->GetText(), str());
    EXPECT_FALSE(Find("ok")->IsVisible());
    edit->OnUTF8Char("x");
    edit->OnMouseUp(TPoint(1, 1));
    EXPECT_EQ(edit->GetText(), str("x"));
    plain->OnMouseUp(TPoint(1, 1));
    plain->OnUTF8Char("!");
    EXPECT_EQ(plain->GetText(), str("Kept!"));
}

TEST_F(GameWidgetsTest, RolloverShowsItsTargetWhileTheMouseIsOverIt)
{
    Layout("RolloverWindow{ name = 'r', x = 10, y = 10, w = 50, h = 20, activate = 'hint', text = 'Over the gate' },"
           "Text{ name = 'hint', x = 100, y = 100, w = 200, h = 20 }");
    TWindow* hint = Find("hint");
    Lua("EnableWindow('hint', false)");
    ASSERT_FALSE(hint->IsVisible());
    struct Step
    {
        TPoint mouse;
        bool shown;
    };
    // Far outside: no leave event reaches the area, its listening sees the move.
    const Step steps[] = {{TPoint(15, 15), true},
                          {TPoint(40, 25), true},
                          {TPoint(400, 400), false},
                          {TPoint(12, 12), true},
                          {TPoint(500, 10), false}};
    for (const Step& step : steps) {
        Send(TEvent::kMouseMove, step.mouse.x, step.mouse.y);
        EXPECT_EQ(hint->IsVisible(), step.shown) << step.mouse.x << "," << step.mouse.y;
    }
    EXPECT_EQ(GetCast<TText>(hint)->GetText(), str("Over the gate"));
    Send(TEvent::kMouseMove, 15, 15);
    delete Find("r");  // inside: it stops listening as it goes
    Send(TEvent::kMouseMove, 400, 400);
    EXPECT_FALSE(hint->IsVisible());
}

TEST_F(GameWidgetsTest, ScrolledContentFollowsTheSliderAndSnapsToItsEnds)
{
    struct Case
    {
        int contentHeight;
        float value;
        float shown;
        int top;
    };
    const Case cases[] = {
        {100, 0.7f, 0.7f, 0},  {600, 0.5f, 0.5f, -200},   {600, 0.99f, 1.0f, -400},
        {600, 0.01f, 0.0f, 0}, {600, 0.25f, 0.25f, -100},
    };
    for (const Case& c : cases) {
        Layout("TScrolledWindow{ name = 's', w = 100, h = 200, snap = 4, Window{ name = 'c', w = 80, h = " +
               std::to_string(c.contentHeight) + " } }");
        auto* scrolled = GetCast<TScrolledWindow>(Find("s"));
        ASSERT_NE(scrolled, nullptr);
        TSlider* slider = scrolled->GetSlider();
        ASSERT_EQ(slider->GetName(), str("slider"));
        ASSERT_EQ(slider->GetWindowHeight(), 200);
        EXPECT_EQ(slider->GetRect().right, 100);
        slider->SetValue(c.value, false);
        EXPECT_FLOAT_EQ(slider->GetValue(), c.shown) << c.value;
        EXPECT_EQ(Find("c")->GetRect().top, c.top) << c.value;
        wm->_PopModal();
    }
}

TEST_F(GameWidgetsTest, TheSliderRunsAlongTheSideTheStyleNames)
{
    const struct
    {
        const char* style;
        bool horizontal;
    } cases[] = {
        {"w = 300, h = 100", false},
        {"w = 100, h = 300", false},
        {"w = 300, h = 100, hslider = true", true},
        {"w = 100, h = 300, hslider = true", true},
    };
    for (const auto& c : cases) {
        Layout(std::string("TScrolledWindow{ name = 's', x = 20, y = 30, ") + c.style +
               ", sliderimage = 'images/slider_thumb.png', Window{ name = 'c', w = 80, h = 600 } }");
        auto* scrolled = GetCast<TScrolledWindow>(Find("s"));
        ASSERT_NE(scrolled, nullptr) << c.style;
        const TSlider* slider = scrolled->GetSlider();
        const TRect& r = slider->GetRect();
        EXPECT_EQ(slider->IsHorizontal(), c.horizontal) << c.style;
        if (c.horizontal) {
            EXPECT_EQ(r.left, 0) << c.style;
            EXPECT_EQ(r.right, scrolled->GetWindowWidth()) << c.style;
            EXPECT_EQ(r.bottom, scrolled->GetWindowHeight()) << c.style;
            EXPECT_LT(r.bottom - r.top, scrolled->GetWindowHeight()) << c.style;
        } else {
            EXPECT_EQ(r.top, 0) << c.style;
            EXPECT_EQ(r.bottom, scrolled->GetWindowHeight()) << c.style;
            EXPECT_EQ(r.right, scrolled->GetWindowWidth()) << c.style;
            EXPECT_LT(r.right - r.left, scrolled->GetWindowWidth()) << c.style;
        }
        wm->_PopModal();
    }
}

TEST_F(GameWidgetsTest, PageStepsMoveByOneViewOfTheText)
{
    std::string lines;
    for (int i = 0; i < 40; ++i)
        lines += "line\\n";
    Layout("TScrolledWindow{ name = 's', w = 100, h = 100, Text{ name = 't', w = 80, h = 100, label = '#" + lines +
           "' } }, TScrolledWindow{ name = 'empty', y = 100, w = 100, h = 100, Text{ name = 'e', w = 80, h = 100 } },"
           "TScrolledWindow{ name = 'other', y = 200, w = 100, h = 100, Window{ name = 'w', w = 80, h = 300 } }");
    auto* scrolled = GetCast<TScrolledWindow>(Find("s"));
    auto* text = GetCast<TText>(Find("t"));
    ASSERT_GT(text->GetLineCount(), 0);
    TRect bounds;
    text->GetTextBounds(&bounds);
    const float step = float(text->GetWindowHeight()) / (float(bounds.bottom) / float(text->GetLineCount())) /
                       float(text->GetLineCount());
    ASSERT_GT(step, 0.0f);
    ASSERT_LT(step, 0.5f);
    struct Case
    {
        float from;
        int type;
        float to;
    };
    const Case cases[] = {
        {0.0f, kSliderPageDown, step},
        {0.5f, kSliderPageUp, 0.5f - step},
        {1.0f - step / 2, kSliderPageDown, 1.0f},
        {step / 2, kSliderPageUp, 0.0f},
    };
    for (const Case& c : cases) {
        scrolled->GetSlider()->SetValue(c.from, true);
        TMessage page(c.type, "slider", nullptr);
        EXPECT_TRUE(scrolled->OnMessage(&page));
        EXPECT_FLOAT_EQ(scrolled->GetSlider()->GetValue(), c.to) << c.from;
    }

    // An empty text has no pages: the slider stays where it was.
    auto* empty = GetCast<TScrolledWindow>(Find("empty"));
    empty->GetSlider()->SetValue(0.5f, true);
    TMessage down(kSliderPageDown, "slider", nullptr);
    EXPECT_TRUE(empty->OnMessage(&down));
    EXPECT_FLOAT_EQ(empty->GetSlider()->GetValue(), 0.5f);

    // Other content decides first; content that takes nothing moves by one view: 100 of the
    // 200 pixels it overhangs.
    auto* other = GetCast<TScrolledWindow>(Find("other"));
    other->GetSlider()->SetValue(1.0f, true);
    TMessage up(kSliderPageUp, "slider", nullptr);
    EXPECT_TRUE(other->OnMessage(&up));
    EXPECT_FLOAT_EQ(other->GetSlider()->GetValue(), 0.5f);
}

}  // namespace
