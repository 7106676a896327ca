#pragma once
// Cosine and sine of a float angle, one formula for the one-particle machine and the compiled
// streams, so both give the same floats. Worked in double and rounded to float once; without a
// branch, so that a loop over many angles can be widened by the compiler.
//   float c, s;
//   particle_trig::CosSin(angle, &c, &s);

#include <bit>
#include <cmath>
#include <cstdint>

namespace particle_trig {

// Up to here the reduction by multiples of pi/2 below loses nothing a float can show.
constexpr float kNearLimit = 65536.0f;

inline bool IsNear(float a)
{
    return std::fabs(a) <= kNearLimit;
}

// For |a| <= kNearLimit only (anything else gives a wrong value, never a trap).
inline void CosSinNear(float a, float* c, float* s)
{
    const double x = a;
    // Adding 1.5 x 2^52 rounds to a whole number, which lands in the low bits.
    constexpr double kShift = 6755399441055744.0;
    const double t = x * 0.6366197723675814 + kShift;
    const double k = t - kShift;
    // pi/2 in two parts; k times the first (33 bits) is exact.
    const double r = (x - k * 1.5707963267341256) - k * 6.077100506506192e-11;
    const double r2 = r * r;
    // Polynomials fitted over |r| <= pi/4, good to the last double place with fewer terms than
    // the Taylor series. The sine as r times a factor, so that -0 keeps its sign.
    const double sinr =
        r * (1.0 + r2 * (-1.66666666666666324348e-01 +
                         r2 * (8.33333333332248946124e-03 +
                               r2 * (-1.98412698298579493134e-04 +
                                     r2 * (2.75573137070700676789e-06 +
                                           r2 * (-2.50507602534068634195e-08 + r2 * 1.58969099521155010221e-10))))));
    const double cosr =
        1.0 + r2 * (-0.5 + r2 * (4.16666666666666019037e-02 +
                                 r2 * (-1.38888888888741095749e-03 +
                                       r2 * (2.48015872894767294178e-05 +
                                             r2 * (-2.75573143513906633035e-07 +
                                                   r2 * (2.08757232129817482790e-09 +
                                                         r2 * -1.13596475577881948265e-11))))));
    // Quarter turns q = k mod 4: odd ones swap sine and cosine, and the signs follow the quadrant.
    const uint64_t q = std::bit_cast<uint64_t>(t);
    const uint64_t swap = 0 - (q & 1);
    const uint64_t sinBits = (std::bit_cast<uint64_t>(sinr) & ~swap) | (std::bit_cast<uint64_t>(cosr) & swap);
    const uint64_t cosBits = (std::bit_cast<uint64_t>(cosr) & ~swap) | (std::bit_cast<uint64_t>(sinr) & swap);
    *s = static_cast<float>(std::bit_cast<double>(sinBits ^ ((q & 2) << 62)));
    *c = static_cast<float>(std::bit_cast<double>(cosBits ^ (((q + 1) & 2) << 62)));
}

// Far angles (and infinities and NaN) go to the library, worked in double as well.
inline void CosSinFar(float a, float* c, float* s)
{
    const double x = a;
    *c = static_cast<float>(std::cos(x));
    *s = static_cast<float>(std::sin(x));
}

inline void CosSin(float a, float* c, float* s)
{
    if (IsNear(a))
        CosSinNear(a, c, s);
    else
        CosSinFar(a, c, s);
}

}  // namespace particle_trig
