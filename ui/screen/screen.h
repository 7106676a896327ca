#pragma once
// The bottom window of the modal stack, of display size: it clears the display when nothing
// covers it and shows the window manager's layer target. The platform makes the one screen
// when the first display is set.

#include "core/math/color.h"
#include "ui/window/modal_window.h"

class TScreen : public TModalWindow
{
    TV_CLASS(TScreen, TModalWindow)

public:
    TScreen();
    ~TScreen() override = default;

    void Draw() override;

private:
    // Clear even when another modal window lies above.
    bool mFillAlways = false;
    // Never clear.
    bool mNoFill = false;
    TColor mBackground{0, 0, 0, 0};
};
