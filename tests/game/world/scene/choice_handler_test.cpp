// Dialogue choices in the game window's choice box: buttons filled and switched, rows laid out
// in the four-row area with the slider for more, the answer recorded and the box closed.

#include "common/log_capture.h"
#include "game/world/scene/choice_handler.h"
#include "game/world/scene/scene_hooks.h"
#include "progress_probe.h"
#include "scene_probe.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TextProbe : public TText
{
public:
    void SetText(str text) override { shown = text.c_str(); }
    std::string shown;
};

TWindow* Child(TWindow* parent, const char* name, int x, int y, int w, int h)
{
    auto* window = new TWindow;
    window->SetName(name);
    window->SetWindowPos(x, y);
    window->SetWindowSize(w, h);
    parent->AdoptChild(window, false);
    return window;
}

bool Enabled(const TWindow* window)
{
    return (window->GetFlags() & TWindow::kEnabled) != 0;
}

TWindow* gGameWindow = nullptr;

// The game layout's choice box: six buttons (two texts each) in rows inside a 200-high area.
class Choices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetProgress();
        gGameWindow = game = new TWindow;
        SetGameWindowHook([] { return gGameWindow; });
        box = Child(game, "CHOICEBOX", 100, 350, 300, 200);
        box->SetFlags(box->GetFlags() & ~TWindow::kEnabled);
        TWindow* outer = Child(box, "SCROLLOUTER", 0, 0, 300, 200);
        slider = new TSlider;
        slider->SetName("slider");
        outer->AdoptChild(slider, false);
        slider->SetValue(0.7f, true);
        inner = Child(outer, "SCROLLINNER", 0, 0, 280, 10);
        for (int i = 0; i < 6; ++i) {
            buttons.push_back(Child(inner, ("button" + std::to_string(i)).c_str(), 0, i * 50, 280, 50));
            for (int t = 0; t < 2; ++t) {
                texts.push_back(new TextProbe);
                buttons.back()->AdoptChild(texts.back(), false);
            }
        }
        tTextSpec plain = DefaultSaySpec();
        plain.outlineSize = 0;
        scene.SetSaySpec(plain);
        TheScene() = &scene;
    }
    void TearDown() override
    {
        SetGameWindowHook(nullptr);
        TheScene() = nullptr;
        delete game;
    }
    tChoiceHandler& Handler() { return scene.GetChoiceHandler(); }
    void Show(const std::vector<str>& choices) { Handler().CreateChoiceText(choices); }
    std::vector<bool> ButtonsEnabled() const
    {
        std::vector<bool> on;
        for (TWindow* b : buttons)
            on.push_back(Enabled(b));
        return on;
    }
    std::string TextOf(int button) const { return texts[size_t(button) * 2]->shown; }

    ProbeScene scene;
    TWindow* game = nullptr;
    TWindow* box = nullptr;
    TWindow* inner = nullptr;
    TSlider* slider = nullptr;
    std::vector<TWindow*> buttons;
    std::vector<TextProbe*> texts;
};

TEST_F(Choices, ButtonsRowsAndSliderFollowTheNumberOfChoices)
{
    const struct
    {
        int count;
        int innerTop, innerHeight;
        bool sliderOn;
    } cases[] = {
        {1, 75, 50, false}, {2, 50, 100, false}, {4, 0, 200, false}, {5, 0, 250, true}, {6, 0, 300, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        std::vector<str> choices;
        for (int i = 0; i < c.count; ++i)
            choices.push_back(str::getFormatted("k%d|Answer %d", i, i));
        slider->SetValue(0.7f, true);
        Show(choices);
        std::vector<bool> on(6, false);
        for (int i = 0; i < c.count; ++i)
            on[size_t(i)] = true;
        EXPECT_EQ(ButtonsEnabled(), on);
        EXPECT_EQ(TextOf(c.count - 1), "Answer " + std::to_string(c.count - 1));
        EXPECT_EQ(texts[size_t(c.count - 1) * 2 + 1]->shown, TextOf(c.count - 1));
        EXPECT_EQ(inner->GetRect(), TRect(0, c.innerTop, 280, c.innerTop + c.innerHeight));
        EXPECT_EQ(Enabled(slider), c.sliderOn);
        EXPECT_EQ(slider->GetValue(), 0.0f);
        EXPECT_TRUE(Enabled(box));
        EXPECT_EQ(box->GetRect().left, 100);
        EXPECT_EQ(box->GetRect().top, 0);
        EXPECT_TRUE(Handler().IsChoiceOpen());
    }
}

TEST_F(Choices, ABadEntryIsSkippedAndStaleButtonsStillGoOff)
{
    Show({"a|A", "b|B", "c|C", "d|D"});
    TLogCapture log;
    Show({"x|X", "no bar here", "y|Y|with a bar"});
    EXPECT_NE(log.Text().find("bad choice no bar here"), std::string::npos);
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, true, false, false, false, false}));
    EXPECT_EQ(TextOf(0), "X");
    EXPECT_EQ(TextOf(1), "Y|with a bar");
    ASSERT_EQ(Handler().GetChoices().size(), 2u);
    EXPECT_EQ(std::string(Handler().GetChoices()[1].key.c_str()), "y");
    EXPECT_EQ(inner->GetRect().top, 50);
}

TEST_F(Choices, AClickRecordsTheKeyAndClosesTheBox)
{
    const struct
    {
        int index;
        const char* conv;
        const char* logged;
    } cases[] = {
        {1, "bye", "tChoiceHandler::ChoiceClicked(1)"},
        {0, "hello", "tChoiceHandler::ChoiceClicked(0)"},
        {2, "before", "Got bad choice # 2 when we had only 2 choices"},
        {-1, "before", "Got bad choice # -1 when we had only 2 choices"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        SetProgressText("conv", "before");
        Show({"hello|Hello there", "bye|Goodbye"});
        TLogCapture log;
        ChoiceClicked(c.index);  // the script function: the active scene's handler
        EXPECT_NE(log.Text().find(c.logged), std::string::npos);
        EXPECT_EQ(ProgressText("conv"), c.conv);
        EXPECT_TRUE(Handler().IsChoiceDone());
        EXPECT_FALSE(Enabled(box));
    }
}

}  // namespace
