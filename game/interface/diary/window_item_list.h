#pragma once
// The diary's book list: one book's entry titles as links, newest first and the selected one
// outlined; tabs for the other books that have entries; a hint button that unfolds the selected
// entry's next body line; "older" and "newer" buttons (go_left, go_right) shown only where there
// is an entry to step to. The entry view and the buttons are its siblings and must come before
// it in the layout, so that it finds them when it fills itself.
//   tWindowItemEntry{ name = "entry_window", ... }, Button{ name = "hintbutton", ... },
//   tWindowItemList{ outline_color = Color(250, 230, 160), pointat_color = Color(40, 30, 90),
//       Text{ name = "notes_list_header" }, TScrolledWindow{ name = "listscrollwindow",
//       tDiaryText{ name = "listtext" } }, Button{ name = "C_CLUES" }, ... }

#include "core/math/color.h"
#include "game/interface/windows/df_window.h"

class tWindowItemList : public dfWindow
{
    TV_CLASS(tWindowItemList, dfWindow)

public:
    tWindowItemList();
    static TWindow* DynamicCreate();

    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnKeyDown(char, unsigned int) override { return false; }

    // 0 clues, 1 sketches, 2 pills; anything else is logged and shows the clues.
    void SetBookNumber(int book);
    // Held inside the book's entries.
    void SetActiveItem(int index);
    // An unknown key selects the first entry.
    void SetActiveItem(const str& key);
    void UpdateItemList();
    void UpdateSlider();
    void UpdateEntryWindow();
    void UpdateHintButton();
    // The siblings "older" and "newer".
    void UpdateStepButtons();
    void ClickedForHint();
    // "go_left", "go_right", "hint", "clues", "sketches", "pills".
    void SendDiaryMessage(const str& message);

private:
    TWindow* Part(const char* name);
    TWindow* Sibling(const char* name);

    TColor mOutlineColor{0, 0, 0, 1};
    TColor mPointAtColor{0, 0, 0, 1};
};
