#pragma once
// A container that gives its one content window a scroll bar: a slider along its right edge
// (or its bottom with "hslider"), the content moved up as the slider moves, the slider
// snapped to its ends within "snap" pixels, clicks on the rail turned into page steps when the
// content is a text, and the mouse wheel over it stepping a quarter of a view (a line of a
// text that fits) up or down.
//   TScrolledWindow{ w = 300, h = 200, snap = 4, railmid = "ui/rail.png", Text{ ... } }

#include "ui/window/window.h"

class TSlider;

class TScrolledWindow : public TWindow
{
    TV_CLASS(TScrolledWindow, TWindow)

public:
    static TWindow* DynamicCreate();
    void PostChildrenInit(TWindowStyle& style) override;
    void SetScroll(float x, float y) override;
    void SubScrollV(float value);
    bool OnMessage(TMessage* message) override;
    bool OnExtendedMouseEvent(const TPoint& point, TPlatform::ExtendedMouseEvents event) override;
    TWindow* GetContent() const { return mContent; }
    TSlider* GetSlider() const { return mSlider; }

private:
    bool PageStep(int direction);
    bool PageView(int direction);

    TWindow* mContent = nullptr;
    TSlider* mSlider = nullptr;
    int mSnap = 4;
};
