#pragma once
// The value control of layouts: a rail drawn from three pictures (top cap, stretched middle,
// bottom cap) and a thumb the user drags; the value runs from 0 (top or left) to 1. It tells
// its parent of every change (kSliderValChanged), every press on the rail before or after the
// thumb (kSliderPageUp, kSliderPageDown) and the end of every drag (kSliderMouseUp); the
// parent decides what they mean: a press on the rail moves nothing by itself. A slider is
// horizontal when it is wider than high, unless "hslider" says otherwise.
//   Slider{ name = "volume", w = 200, h = 20, railtop = "ui/l.png", railmid = "ui/m.png",
//           railbot = "ui/r.png", sliderimage = "ui/thumb.png", value = 0.5 }

#include "render/renderer/render_types.h"
#include "ui/window/button_control.h"
#include "ui/window/window.h"

#include <memory>

class TImage;
class TTexture;

class TSlider : public TWindow, public TSliderControl
{
    TV_CLASS(TSlider, TWindow)

public:
    TSlider();
    ~TSlider() override;
    // The creation function layouts use.
    static TWindow* DynamicCreate();

    using TWindow::Init;
    // Reads the style once; later calls only place the window.
    void Init(TWindowStyle& style) override;
    void Draw() override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;

    float GetValue() const { return mValue; }
    // Clamped to [0, 1] (NaN gives 0); reported unless silent.
    void SetValue(float value, bool silent);
    void UpdateSliderPos();
    // The size across the rail, from the rail pictures and the thumb.
    void SetSliderSize();
    void SetRailTexture(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                        std::shared_ptr<TTexture> bottom);
    void SetSliderTexture(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollover);
    // One rail piece as six vertices at `offset` along the rail; its length (0 without a
    // texture, when nothing is built).
    int BuildTexture(const std::shared_ptr<TTexture>& texture, int offset, TTransformedLitVert* vertices, bool stretch);

    bool IsHorizontal() const { return mHorizontal; }
    void SetHorizontal(bool horizontal) { mHorizontal = horizontal; }
    bool IsDragging() const { return mDragging; }
    TImage* GetThumb() const { return mThumb; }
    int GetThickness() const { return mThickness; }

private:
    void Send(int type);
    bool OverThumb(const TPoint& point) const;
    // The value a drag to the point gives.
    float ValueAt(const TPoint& point) const;
    void ShowThumb(bool rollover);

    bool mDragging = false;
    bool mInitialized = false;
    TImage* mThumb = nullptr;
    std::shared_ptr<TTexture> mThumbPicture;
    std::shared_ptr<TTexture> mThumbRollover;
    std::shared_ptr<TTexture> mRailTop;
    std::shared_ptr<TTexture> mRailMiddle;
    std::shared_ptr<TTexture> mRailBottom;
    float mValue = 0;
    float mScale = 1.0f;
    float mRailAlpha = 1.0f;
    int mThumbOffset = 0;
    int mThickness = 0;
    bool mHorizontal = false;
};

// Two triangles of the unit square scaled to `size` (+ extra) at `position`; transposed, the
// square's x runs down the screen. Texture coordinates run to `uvScale`.
void MakeQuad2d(TTransformedLitVert* vertices, const TVec2& position, const TVec2& size, const TVec2& extra,
                const TVec2& uvScale, bool transpose, float alpha);
