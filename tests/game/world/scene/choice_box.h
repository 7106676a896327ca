#pragma once
// The game layout's choice box as the choice handler finds it under the game window: buttons
// "button0".. (two text children each) in rows inside "SCROLLINNER", a 200-high "SCROLLOUTER"
// with its "slider". The texts record what they were given; a press on a button answers, as
// the layout's buttons do.

#include "game/world/scene/choice_handler.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/window/window.h"

#include <string>
#include <vector>

class TextProbe : public TText
{
public:
    void SetText(str text) override { shown = text.c_str(); }
    std::string shown;
};

class ChoiceRow : public TWindow
{
public:
    explicit ChoiceRow(int index) : mIndex(index) {}
    bool OnMouseDown(const TPoint&) override
    {
        ChoiceClicked(mIndex);
        return true;
    }

private:
    int mIndex;
};

struct TChoiceBox
{
    TWindow* box = nullptr;
    TWindow* inner = nullptr;
    TSlider* slider = nullptr;
    std::vector<TWindow*> buttons;
    std::vector<TextProbe*> texts;

    // Builds the box, switched off, under `game` (which owns it).
    static TChoiceBox Make(TWindow* game, int buttonCount)
    {
        TChoiceBox c;
        c.box = Child(game, "CHOICEBOX", 100, 350, 300, 200);
        c.box->SetFlags(c.box->GetFlags() & ~TWindow::kEnabled);
        TWindow* outer = Child(c.box, "SCROLLOUTER", 0, 0, 300, 200);
        c.slider = new TSlider;
        c.slider->SetName("slider");
        outer->AdoptChild(c.slider, false);
        c.slider->SetValue(0.7f, true);
        c.inner = Child(outer, "SCROLLINNER", 0, 0, 280, 10);
        for (int i = 0; i < buttonCount; ++i) {
            c.buttons.push_back(
                Child(c.inner, ("button" + std::to_string(i)).c_str(), 0, i * 50, 280, 50, new ChoiceRow(i)));
            for (int t = 0; t < 2; ++t) {
                c.texts.push_back(new TextProbe);
                c.buttons.back()->AdoptChild(c.texts.back(), false);
            }
        }
        return c;
    }
    static TWindow* Child(TWindow* parent, const char* name, int x, int y, int w, int h, TWindow* window = new TWindow)
    {
        window->SetName(name);
        window->SetWindowPos(x, y);
        window->SetWindowSize(w, h);
        parent->AdoptChild(window, false);
        return window;
    }
    static bool Enabled(const TWindow* window) { return (window->GetFlags() & TWindow::kEnabled) != 0; }

    std::vector<bool> ButtonsEnabled() const
    {
        std::vector<bool> on;
        for (TWindow* b : buttons)
            on.push_back(Enabled(b));
        return on;
    }
    // The text of button i (its first text child).
    std::string TextOf(int button) const { return texts[size_t(button) * 2]->shown; }
};
