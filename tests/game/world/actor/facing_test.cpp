#include "game/world/actor/facing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

TEST(Facing, EightAndFourWaySectorsAroundTheCircle)
{
    const struct
    {
        float angle;
        DIR dir8, dir4;
    } cases[] = {
        {kPi, DIR_E, DIR_E},  // a step right
        {kPi / 2, DIR_S, DIR_S},
        {0, DIR_W, DIR_W},
        {-kPi / 2, DIR_N, DIR_N},
        {kPi / 4 + 0.1f, DIR_SW, DIR_S},
        {kPi / 4 - 0.1f, DIR_SW, DIR_W},
        {3 * kPi / 4 + 0.1f, DIR_SE, DIR_E},
        {-kPi / 4 - 0.1f, DIR_NW, DIR_N},
        // Both sides of the E/NE boundary, and of the wrap past 2π.
        {-7 * kPi / 8 - 0.01f, DIR_E, DIR_E},
        {-7 * kPi / 8 + 0.01f, DIR_NE, DIR_E},
        {7 * kPi / 8 + 0.01f, DIR_E, DIR_E},
        {7 * kPi / 8 - 0.01f, DIR_SE, DIR_E},
        {-kPi - 0.5f, DIR_E, DIR_E},  // below the range: the first sector
        {NAN, DIR_E, DIR_E},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Dir8FromAngle(c.angle), c.dir8) << c.angle;
        EXPECT_EQ(Dir4FromAngle(c.angle), c.dir4) << c.angle;
    }
    EXPECT_EQ(DirFromVector(tVector2<float>(1, 0)), DIR_E);
    EXPECT_EQ(DirFromVector(tVector2<float>(0, 1)), DIR_S);
    EXPECT_EQ(DirFromVector(tVector2<float>(-1, -1)), DIR_NW);
}

TEST(Facing, MirrorSwapsEastAndWest)
{
    const DIR from[] = {DIR_NONE, DIR_N, DIR_NE, DIR_E, DIR_SE, DIR_S, DIR_SW, DIR_W, DIR_NW, static_cast<DIR>(12)};
    const DIR to[] = {DIR_NONE, DIR_N, DIR_NW, DIR_W, DIR_SW, DIR_S, DIR_SE, DIR_E, DIR_NE, DIR_NONE};
    for (size_t i = 0; i < std::size(from); ++i)
        EXPECT_EQ(XFlipDir(from[i]), to[i]) << i;
}

}  // namespace
