#pragma once
// A block of 32-bit pixels in memory that the vector drawer writes into: a locked texture, or a
// plain buffer (tests, tools). Rows run top first, `pitch` pixels apart.

#include "core/math/color.h"

struct TPixelSurface
{
    TColor32* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;  // pixels per row
};
