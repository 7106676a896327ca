#pragma once
// 3x3 and 4x4 float matrices, identity by default, row-major, for row vectors: v * M, so the
// translation sits in the last row. A * B applies A first, then B.
//   TMat3 m; m.Scale(2); m[2] = TVec3(5, 7, 1);   // scale, then move by (5, 7)
//   TVec2 p = TVec2(1, 1) * m;                   // (7, 9)

#include "core/math/vec.h"

struct TMat3
{
    TVec3 m[3] = {TVec3(1, 0, 0), TVec3(0, 1, 0), TVec3(0, 0, 1)};

    TMat3() = default;
    TMat3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22);

    TVec3& operator[](int i) { return m[i]; }
    const TVec3& operator[](int i) const { return m[i]; }
    bool operator==(const TMat3&) const = default;

    // this = Multiply2x2(this, diag(s, s, 1)): the translation stays.
    void Scale(float s);
    void Scale(float sx, float sy);
    // this = Multiply2x2(this, GetRotation(angle)).
    void Rotate(float angle);
    static TMat3 GetRotation(float angle);
};

struct TMat4
{
    TVec4 m[4] = {TVec4(1, 0, 0, 0), TVec4(0, 1, 0, 0), TVec4(0, 0, 1, 0), TVec4(0, 0, 0, 1)};

    TMat4() = default;
    TMat4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20, float m21,
          float m22, float m23, float m30, float m31, float m32, float m33);

    TVec4& operator[](int i) { return m[i]; }
    const TVec4& operator[](int i) const { return m[i]; }
    bool operator==(const TMat4&) const = default;

    // this = this * diag(x, y, z, 1).
    void Scale(float x, float y, float z);
    // this = this * rotation about the unit axis a.
    void RotateAxis(const TVec3& a, float angle);
    void RotateY(float angle);
    // Replaces this by a perspective projection whose centre is shifted by offset (in -1..1);
    // depth maps near to 0 and far to 1.
    void OffsetPerspective(float nearZ, float farZ, float fovY, float aspect, const TVec2& offset);
};

TVec4 operator*(const TVec4& v, const TMat4& M);
// Affine: w = 1, no division.
TVec3 operator*(const TVec3& v, const TMat4& M);
TVec2 operator*(const TVec2& v, const TMat3& M);
TMat4 operator*(const TMat4& A, const TMat4& B);
TMat3 operator*(const TMat3& A, const TMat3& B);
// Combines the 2x2 linear parts and keeps A's translation row.
TMat3 Multiply2x2(const TMat3& A, const TMat3& B);
