#pragma once
// The game's button: presses count only on the set pixels of an optional hit mask (a picture
// whose red channel marks the button), it claims the mouse while the pointer is over or down
// on it, and shows its own cursor when the pointer arrives.
//   tDFButton{ name = "door", mask = "ui/door_mask", cursor = "cursor_use", graphics = { ... } }

#include <cstdint>
#include <functional>
#include <vector>

#include "core/math/color.h"
#include "game/interface/windows/hit_mask.h"
#include "ui/widgets/button.h"

class tDFButton : public TButton
{
    TV_CLASS(tDFButton, TButton)

public:
    ~tDFButton() override;
    static TWindow* DynamicCreate();
    using TButton::Init;
    // "cursor" (default "cursor"), "mask".
    void Init(TWindowStyle& style) override;
    // Over a set pixel of the mask; anywhere without one.
    bool TestMousePoint(const TPoint& point) const;
    bool OnMouseDown(const TPoint& point) override;
    void StateUpdate(EMouseState newState, EMouseState oldState) override;
    // One byte a pixel, row after row: 1 where the red channel is not 0. `pitch` is in pixels.
    void SetHitMask(const TColor32* pixels, unsigned pitch, int width, int height);
    const str& GetCursorName() const { return mCursor; }

private:
    str mCursor;
    tHitMask mMask;
};

// Shows the named cursor; the cursor manager installs it.
std::function<void(const str&)>& ButtonCursorActivator();
