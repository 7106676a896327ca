#pragma once
// Float vectors of 2, 3 and 4 components; plain values, zero by default. Row vectors: they are
// multiplied on the left of a matrix (see mat.h).
//   TVec2 p = TVec2(1, 2) + TVec2(3, 4) * 0.5f;

struct TVec3;
struct TVec4;

struct TVec2
{
    float x = 0, y = 0;

    TVec2() = default;
    TVec2(float x_, float y_) : x(x_), y(y_) {}
    explicit TVec2(const TVec3& v);

    TVec2& operator+=(const TVec2& o)
    {
        x += o.x;
        y += o.y;
        return *this;
    }
    TVec2 operator-() const { return TVec2(-x, -y); }
    float& operator[](int i) { return i == 0 ? x : y; }
    float operator[](int i) const { return i == 0 ? x : y; }
    bool operator==(const TVec2&) const = default;
};

struct TVec3
{
    float x = 0, y = 0, z = 0;

    TVec3() = default;
    TVec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    TVec3(const TVec2& v, float z_) : x(v.x), y(v.y), z(z_) {}
    explicit TVec3(const TVec4& v);

    TVec3& operator+=(const TVec3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    TVec3 operator-() const { return TVec3(-x, -y, -z); }
    float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
    float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
    bool operator==(const TVec3&) const = default;
};

struct TVec4
{
    float x = 0, y = 0, z = 0, w = 0;

    TVec4() = default;
    TVec4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    TVec4(const TVec3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}

    float& operator[](int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    float operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    bool operator==(const TVec4&) const = default;
};

inline TVec2::TVec2(const TVec3& v) : x(v.x), y(v.y) {}
inline TVec3::TVec3(const TVec4& v) : x(v.x), y(v.y), z(v.z) {}

inline TVec2 operator+(const TVec2& a, const TVec2& b)
{
    return TVec2(a.x + b.x, a.y + b.y);
}
inline TVec2 operator*(const TVec2& a, float s)
{
    return TVec2(a.x * s, a.y * s);
}
