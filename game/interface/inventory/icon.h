#pragma once
// One clickable picture of an inventory strip: while the pointer is over it the icon holds the
// mouse (every move reaches it until the pointer leaves), and a release over it runs its click
// function. While an actor of the scene waits for a click, a press goes past the icon to the
// game.
//   tIcon{ name = "BAG_INV_obj_0", image = "items/key", command = function() ... end }

#include <cstdint>
#include <memory>

#include "core/math/vec.h"
#include "ui/screen/image.h"

class TLuaFunction;

class tIcon : public TImage
{
    TV_CLASS(tIcon, TImage)

public:
    static constexpr uint32_t kMouseOver = 1;

    tIcon();
    ~tIcon() override;
    static TWindow* DynamicCreate();

    using TImage::Init;
    // The image's own settings; "command" is the click function.
    void Init(TWindowStyle& style) override;
    // Glides toward the target by at most a pixel a tick.
    bool OnTaskAnimate() override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;

    void SetFunction(std::unique_ptr<TLuaFunction> function);
    bool HasFunction() const { return mFunction != nullptr; }
    bool IsMouseOver() const { return (mIconFlags & kMouseOver) != 0; }
    // Where the icon stands and where it glides to, in its parent.
    void SetPlace(const TVec2& place);
    void SetTarget(const TVec2& target) { mTarget = target; }

private:
    TVec2 mCurrent{0, 0};
    TVec2 mTarget{0, 0};
    uint32_t mIconFlags = 0;
    std::unique_ptr<TLuaFunction> mFunction;
};
