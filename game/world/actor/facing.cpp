#include "game/world/actor/facing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The index of the sector holding `angle`, of `count` sectors turned by half a sector.
int Sector(float angle, int count)
{
    constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;
    float b = angle + std::numbers::pi_v<float> + std::numbers::pi_v<float> / count;
    if (b >= kTwoPi)
        b -= kTwoPi;
    if (!(b >= 0))  // NaN too
        return 0;
    return static_cast<int>(std::min(b, kTwoPi) * count / kTwoPi);
}

}  // namespace

DIR Dir8FromAngle(float angle)
{
    static const DIR table[] = {DIR_E, DIR_NE, DIR_N, DIR_NW, DIR_W, DIR_SW, DIR_S, DIR_SE, DIR_E};
    return table[Sector(angle, 8)];
}

DIR Dir4FromAngle(float angle)
{
    static const DIR table[] = {DIR_E, DIR_N, DIR_W, DIR_S, DIR_E};
    return table[Sector(angle, 4)];
}

DIR DirFromVector(const tVector2<float>& v)
{
    return Dir8FromAngle(std::atan2(v.y, -v.x));
}

DIR XFlipDir(DIR dir)
{
    static const DIR table[] = {DIR_NONE, DIR_N, DIR_NW, DIR_W, DIR_SW, DIR_S, DIR_SE, DIR_E, DIR_NE};
    return static_cast<uint32_t>(dir) <= 8 ? table[dir] : DIR_NONE;
}
