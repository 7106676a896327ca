#include "game/world/scene/choice_handler.h"

#include "game/script/df_log.h"
#include "game/script/metrics.h"
#include "game/script/window_state.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/state/gamestate.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/window/window_spider.h"

namespace {

constexpr char kChoiceBox[] = "CHOICEBOX";
constexpr int kVisibleRows = 4;

class SetTextOfTextChildren : public TWindowSpider
{
public:
    explicit SetTextOfTextChildren(const str& text) : mText(text) {}
    bool Process(TWindow* window) override
    {
        if (TText* text = GetCast<TText>(window))
            text->SetText(mText);
        return true;
    }

private:
    const str& mText;
};

TWindow* FindIn(TWindow* parent, const str& name)
{
    return parent ? parent->GetChildWindow(name, unsigned(-1)) : nullptr;
}

TWindow* Button(TWindow* box, int number)
{
    return box->GetChildWindow(str::getFormatted("button%d", number), unsigned(-1));
}

}  // namespace

tChoiceHandler::tChoiceHandler() : mSaySpec(DefaultSaySpec()) {}

tChoiceHandler::~tChoiceHandler()
{
    DumpChoiceText();
}

void tChoiceHandler::DumpChoiceText()
{
    LOGIT("tChoiceHandler::DumpChoiceText()\n");
    mChoices.clear();
    DisableWindow(FindIn(GetGameWindow(), kChoiceBox));
}

void tChoiceHandler::CreateChoiceText(const std::vector<str>& choices)
{
    LOGIT("tChoiceHandler::CreateChoiceText()\n");
    DumpChoiceText();
    TWindow* game = GetGameWindow();
    TWindow* box = FindIn(game, kChoiceBox);
    if (!box)
        return;
    EnableWindow(box);
    box->SetWindowPos(box->GetRect().left, 0);

    // A malformed entry ends the filling, not the set-up: the buttons after the shown choices
    // must still be switched off, or answers of an earlier question stay clickable.
    int button = 0;
    for (const str& choice : choices) {
        TWindow* window = Button(box, button);
        if (!window) {
            LOGIT("Couldn't find button %d\n", button);
            break;
        }
        const unsigned bar = choice.find('|');
        if (bar == str::npos) {
            LOGIT("bad choice %s\n", choice.c_str());
            break;
        }
        EnableWindow(window);
        const str key = choice.substr(0, int(bar));
        str text = choice.substr(bar + 1);
        if (mSaySpec.outlineSize > 0)
            text = mSaySpec.OutlineDesc() + text;
        SetTextOfTextChildren setText(text);
        window->ForEachChild(setText);
        mChoices.push_back(tChoice{key, text});
        ++button;
    }
    for (TWindow* rest = Button(box, button); rest; rest = Button(box, ++button))
        DisableWindow(rest);

    TWindow* outer = FindIn(game, "SCROLLOUTER");
    TWindow* inner = FindIn(game, "SCROLLINNER");
    const int shown = int(mChoices.size());
    const float rowHeight = outer ? float(outer->GetWindowHeight() / kVisibleRows) : 0.0f;
    if (inner) {
        inner->SetWindowSize(inner->GetWindowWidth(), int(float(shown) * rowHeight));
        // Fewer rows than the area holds sit in its middle.
        const int top = shown < kVisibleRows ? int((kVisibleRows * rowHeight - float(shown) * rowHeight) * 0.5f) : 0;
        inner->SetWindowPos(0, top);
    }
    if (TSlider* slider = GetCast<TSlider>(FindIn(outer, "slider"))) {
        slider->SetValue(0, false);
        SetWindowEnable(slider, shown > kVisibleRows);
    }
}

void tChoiceHandler::ChoiceClicked(int index)
{
    LOGIT("tChoiceHandler::ChoiceClicked(%d)\n", index);
    if (index >= 0 && size_t(index) < mChoices.size()) {
        const str& key = mChoices[size_t(index)].key;
        MET_Count("ChoicesMade");
        MET_Event("ClickedChoice", key.c_str(), "");
        gGamestate.SetString("conv", key.c_str());
    } else {
        LOGIT("Got bad choice # %d when we had only %d choices\n", index, int(mChoices.size()));
    }
    DumpChoiceText();
    if (tScene* scene = ActiveScene())
        scene->ChoiceClicked();
}

void ChoiceClicked(int index)
{
    if (tScene* scene = ActiveScene())
        scene->GetChoiceHandler().ChoiceClicked(index);
}
