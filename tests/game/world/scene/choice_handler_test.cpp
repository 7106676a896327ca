// Dialogue choices in the game window's choice box: buttons filled and switched, rows laid out
// in the four-row area with the slider for more, the answer recorded and the box closed.

#include "choice_box.h"
#include "common/log_capture.h"
#include "game/world/scene/choice_handler.h"
#include "game/world/scene/scene_hooks.h"
#include "progress_probe.h"
#include "scene_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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
        boxParts = TChoiceBox::Make(game, 6);
        box = boxParts.box, inner = boxParts.inner, slider = boxParts.slider, texts = boxParts.texts;
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
    std::vector<bool> ButtonsEnabled() const { return boxParts.ButtonsEnabled(); }
    std::string TextOf(int button) const { return boxParts.TextOf(button); }
    static bool Enabled(const TWindow* window) { return TChoiceBox::Enabled(window); }

    ProbeScene scene;
    TChoiceBox boxParts;
    TWindow* game = nullptr;
    TWindow* box = nullptr;
    TWindow* inner = nullptr;
    TSlider* slider = nullptr;
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

TEST_F(Choices, ABadEntryEndsTheFillingAndStaleButtonsStillGoOff)
{
    Show({"a|A", "b|B", "c|C", "d|D"});
    TLogCapture log;
    Show({"x|X|with a bar", "no bar here", "y|Y"});
    EXPECT_NE(log.Text().find("bad choice no bar here"), std::string::npos);
    EXPECT_EQ(ButtonsEnabled(), (std::vector<bool>{true, false, false, false, false, false}));
    EXPECT_EQ(TextOf(0), "X|with a bar");
    ASSERT_EQ(Handler().GetChoices().size(), 1u);
    EXPECT_EQ(std::string(Handler().GetChoices()[0].key.c_str()), "x");
    EXPECT_EQ(inner->GetRect().top, 75);
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
