#pragma once
// The diary's entry view: the selected entry's title, its unfolded body lines with the hint
// link, and the entry's picture (a body line "*name" shows "diary/name") in its middle.
//   tWindowItemEntry{ name = "entry_window", w = 320, h = 440, Text{ name = "item_title" },
//                     tDiaryText{ name = "item_body" } }

#include <memory>

#include "game/interface/windows/df_window.h"

class TSprite;

class tWindowItemEntry : public dfWindow
{
    TV_CLASS(tWindowItemEntry, dfWindow)

public:
    static TWindow* DynamicCreate();
    bool OnMouseDown(const TPoint&) override { return false; }
    void Draw() override;
    // Fills the view from the selected entry.
    void RedrawItem();
    const std::shared_ptr<TSprite>& GetPicture() const { return mPicture; }

private:
    std::shared_ptr<TSprite> mPicture;
};
