// The particle functions' cosine and sine: the nearest float to the true value near zero, the
// library's value far out, and NaN for what has none.

#include "particles/machine/particle_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

int32_t Ordered(float f)
{
    int32_t i;
    std::memcpy(&i, &f, sizeof i);
    return i < 0 ? std::numeric_limits<int32_t>::min() - i : i;
}

// Floats between a and b (0: the same float).
int64_t UlpsApart(float a, float b)
{
    return std::llabs(int64_t(Ordered(a)) - int64_t(Ordered(b)));
}

TEST(ParticleTrig, EveryAngleLandsWithinOneFloatOfTheTrueValue)
{
    // Quadrant edges, tiny and signed zeros, the edge of the near range and far beyond it.
    const float angles[] = {0.0f,       -0.0f,       1e-30f,    -1e-8f,     0.785398f, 0.785399f, 1.5707963f,
                            3.1415927f, -3.1415927f, 4.712389f, 6.2831855f, -2.5f,     100.0f,    1000.5f,
                            65536.0f,   -65536.0f,   65536.01f, 1e7f,       -3.4e38f};
    int64_t worst = 0;
    auto check = [&](float a) {
        float c, s;
        particle_trig::CosSin(a, &c, &s);
        const auto trueCos = static_cast<float>(std::cos(static_cast<double>(a)));
        const auto trueSin = static_cast<float>(std::sin(static_cast<double>(a)));
        worst = std::max({worst, UlpsApart(c, trueCos), UlpsApart(s, trueSin)});
        return c == trueCos && s == trueSin && std::signbit(s) == std::signbit(trueSin);
    };
    for (float a : angles)
        EXPECT_TRUE(check(a)) << a;
    // A sweep over many turns either way: the rare value right on a rounding edge may differ.
    int exact = 0;
    const int count = 200000;
    for (int i = 0; i < count; ++i)
        exact += check(-300.0f + 600.0f * static_cast<float>(i) / count) ? 1 : 0;
    EXPECT_LE(worst, 1);
    EXPECT_GE(exact, count - count / 10000);
}

TEST(ParticleTrig, InfinityAndNaNGiveNaN)
{
    for (float a : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        float c = 0, s = 0;
        particle_trig::CosSin(a, &c, &s);
        EXPECT_TRUE(std::isnan(c) && std::isnan(s)) << a;
    }
}

}  // namespace
