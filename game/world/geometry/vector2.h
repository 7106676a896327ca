#pragma once
// The game's 2-D vector. Plain value; arithmetic is component-wise.
//   tVector2<float> p(3, 4);
//   float d = tVector2<float>::Distance(p, tVector2<float>());   // 5

#include <cmath>

template <class T>
struct tVector2
{
    T x = 0, y = 0;

    tVector2() = default;
    tVector2(T x_, T y_) : x(x_), y(y_) {}
    bool operator==(const tVector2&) const = default;

    tVector2 operator+(const tVector2& o) const { return tVector2(x + o.x, y + o.y); }
    tVector2 operator-(const tVector2& o) const { return tVector2(x - o.x, y - o.y); }
    tVector2 operator*(T s) const { return tVector2(x * s, y * s); }
    tVector2 operator/(T s) const { return tVector2(x / s, y / s); }
    tVector2& operator+=(const tVector2& o) { return x += o.x, y += o.y, *this; }
    tVector2& operator-=(const tVector2& o) { return x -= o.x, y -= o.y, *this; }

    T Dot(const tVector2& o) const { return x * o.x + y * o.y; }
    // The z of the 3-D cross product.
    T Cross(const tVector2& o) const { return x * o.y - y * o.x; }
    T LengthSquared() const { return x * x + y * y; }
    T Length() const { return std::sqrt(LengthSquared()); }

    static T Distance(const tVector2& a, const tVector2& b) { return (a - b).Length(); }
    static T DistanceSquared(const tVector2& a, const tVector2& b) { return (a - b).LengthSquared(); }

    // A zero vector stays as it is.
    void Normalize()
    {
        const T len = Length();
        if (len != 0)
            x /= len, y /= len;
    }
    // Shortens to `max` when at least that long; a zero vector stays as it is.
    void NormalizeMaxSpeed(T max)
    {
        const T len = Length();
        if (len != 0 && len >= max)
            x = x / len * max, y = y / len * max;
    }
};

template <class T>
tVector2<T> lerp(const tVector2<T>& a, const tVector2<T>& b, T t)
{
    return a + (b - a) * t;
}

// (x - a) / (b - a); logs and answers 0.5 when a equals b.
float inv_flerp(float a, float b, float x);
