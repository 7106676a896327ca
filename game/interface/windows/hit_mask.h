#pragma once
// Where a picture marks a window as solid: one byte a pixel, 1 where the red channel is not 0
// (whatever order the loaded image keeps its channels in). Buttons and the interface's
// click-catching frames use it.
//   tHitMask mask;
//   mask.Load("ui/tray_mask");          // logs "Failed to load intercept mask ..." when missing
//   if (mask.Hit(point)) ...

#include <cstdint>
#include <vector>

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/text/str.h"

class tHitMask
{
public:
    // Reads the picture; false (mask left empty) when it cannot be found or locked.
    bool Load(const str& name);
    // `pitch` is in pixels.
    void Set(const TColor32* pixels, unsigned pitch, int width, int height);
    void Clear();
    bool IsEmpty() const { return mMask.empty(); }
    // On a set pixel; false outside the mask's size.
    bool Hit(const TPoint& point) const;

private:
    std::vector<uint8_t> mMask;
    int mWidth = 0;
    int mHeight = 0;
};
