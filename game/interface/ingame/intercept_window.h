#pragma once
// Catches clicks only where its mask picture is painted (red channel not 0), so an irregular
// part of the interface keeps clicks from the scene below while the rest lets them through.
//   tIntercept{ name = "INTERCEPTSPEC", mask = "ui/tray_mask", x = 0, y = 520, w = 800, h = 80 }

#include "game/interface/windows/df_window.h"
#include "game/interface/windows/hit_mask.h"

class tIntercept : public dfWindow
{
    TV_CLASS(tIntercept, dfWindow)

public:
    ~tIntercept() override;
    static TWindow* DynamicCreate();
    void Init(TWindowStyle& style) override;
    bool TestMousePoint(const TPoint& point) const { return mMask.Hit(point); }
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseLeave() override;

private:
    tHitMask mMask;
};
