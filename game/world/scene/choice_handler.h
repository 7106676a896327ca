#pragma once
// The answers a conversation offers the player, shown in the buttons of the game window's
// choice box ("CHOICEBOX", rows in "SCROLLINNER", a slider in "SCROLLOUTER"). A choice string
// is "key|text"; the clicked key goes to the game state's text variable "conv".

#include "core/math/rect.h"
#include "core/text/str.h"
#include "game/world/text/text_spec.h"

#include <vector>

struct TPoint;

class tChoiceHandler
{
public:
    struct tChoice
    {
        str key;
        str text;
    };

    tChoiceHandler();
    ~tChoiceHandler();

    void SetSaySpec(const tTextSpec& spec) { mSaySpec = spec; }
    void CreateChoiceText(const std::vector<str>& choices);
    void ChoiceClicked(int index);
    void DumpChoiceText();
    bool IsChoiceOpen() const { return !mChoices.empty(); }
    bool IsChoiceDone() const { return mChoices.empty(); }
    void InitializeChoiceText() {}
    void Draw() {}
    void SetVisible(bool) {}
    bool OnMouseMove(const TPoint&) { return false; }
    bool OnMouseDown(const TPoint&) { return false; }
    const std::vector<tChoice>& GetChoices() const { return mChoices; }

private:
    std::vector<tChoice> mChoices;
    tTextSpec mSaySpec;
};

// Lua "ChoiceClicked"(index): the active scene's handler takes the answer.
void ChoiceClicked(int index);
