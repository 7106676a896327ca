#include "core/math/color.h"

namespace {

uint32_t Channel(float f)
{
    const float v = f * 255.0f;
    // "!(v > 0)" also catches NaN. Above 255 the byte would spill into its neighbour.
    if (!(v > 0))
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<uint32_t>(v);
}

}  // namespace

void TColor::Init(unsigned r, unsigned g, unsigned b, unsigned a)
{
    red = static_cast<float>(r) / 255.0f;
    green = static_cast<float>(g) / 255.0f;
    blue = static_cast<float>(b) / 255.0f;
    alpha = static_cast<float>(a) / 255.0f;
}

TColor32::TColor32(const TColor& c)
    : mValue((Channel(c.alpha) << 24) | (Channel(c.red) << 16) | (Channel(c.green) << 8) | Channel(c.blue))
{
}
