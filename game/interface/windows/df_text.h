#pragma once
// The game's text windows: one placed in its parent by "box_flags" and optionally drawn past
// its edges ("clipped"), one with an outline and an angle (registered as "Text", so layouts get
// it in place of the engine's; a link of it that names no window of its dialog is for the
// window behind it, as the diary's lists are), and one that never scrolls.
//   dfText{ box_flags = 5, clipped = true, label = "#Paused" }
//   Text{ font = { "__DEFAULT", 20, outline_color = { 0, 0, 0, 1 }, outline_size = 2 }, textangle = 8 }

#include "core/math/color.h"
#include "ui/widgets/text.h"

class dfText : public TText
{
    TV_CLASS(dfText, TText)

public:
    static TWindow* DynamicCreate();
    using TText::Init;
    void Init(TWindowStyle& style) override;
    void Draw() override;

private:
    bool mClipped = false;
};

class OutlineText : public TText
{
    TV_CLASS(OutlineText, TText)

public:
    static TWindow* DynamicCreate();
    using TText::Init;
    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    void SetText(str text) override;
    bool OnMouseDown(const TPoint& point) override;

private:
    void Spin();

    TColor mOutlineColor{0, 0, 0, 0};
    int mOutlineSize = 0;
    float mTextAngle = 0;
};

class dfTextX : public TText
{
    TV_CLASS(dfTextX, TText)

public:
    static TWindow* DynamicCreate();
    void SetScroll(float x, float y) override;
};
