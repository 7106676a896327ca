#pragma once
// Browses the game's awards one at a time: the title, and the description once the player has
// earned it or a teaser until then. The up and down keys, or "go_left" and "go_right" sent by
// the layout's buttons through "SendAwardMessage", step through the list; the texts go into
// the sibling text windows "item_title" and "item_body". After each step the layout's
// UpdateAwardButtons(index, count), when it has one, is told where the list stands.
//   tAwardsWindow{ name = "awards", w = 400, h = 300 }, Text{ name = "item_title" }, Text{ name = "item_body" }

#include "game/interface/windows/df_window.h"

class tAwardsWindow : public dfWindow
{
    TV_CLASS(tAwardsWindow, dfWindow)

public:
    static constexpr int kAwardCount = 12;

    tAwardsWindow();
    ~tAwardsWindow() override;
    static TWindow* DynamicCreate();
    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    bool OnKeyDown(char key, unsigned int modifiers) override;
    bool OnMouseDown(const TPoint&) override { return false; }

    void SetActiveItem(int index);
    void SetActiveItem(const str& name);
    void SendAwardMessage(const str& message);
    int GetIndex() const { return mIndex; }
    const str& GetShownName() const { return mName; }

private:
    str mName;
    int mIndex = 0;
    int mCount = 0;
};

// The name of award definition i, or "oops" when there is none.
str GetAwardNameByIndex(int index);
