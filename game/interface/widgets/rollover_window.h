#pragma once
// An invisible hot area: while the mouse is over it another window of its dialog is shown
// ("activate"), given a text when one is set ("text"), and hidden again when the mouse leaves.
//   RolloverWindow{ x = 10, y = 10, w = 80, h = 40, activate = "hint", text = "#The gate" }

#include "ui/window/window.h"

class TRolloverWindow : public TWindow
{
    TV_CLASS(TRolloverWindow, TWindow)

public:
    ~TRolloverWindow() override;
    static TWindow* DynamicCreate();
    void PostChildrenInit(TWindowStyle& style) override;
    // Listens to every move while inside, so that leaving is seen even without a leave event.
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;
    void Activate(bool on);

private:
    void Leave();

    str mTarget;
    str mText;
    bool mInside = false;
};
