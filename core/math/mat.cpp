#include "core/math/mat.h"

#include <cmath>

TMat3::TMat3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22)
    : m{TVec3(m00, m01, m02), TVec3(m10, m11, m12), TVec3(m20, m21, m22)}
{
}

TMat4::TMat4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
             float m21, float m22, float m23, float m30, float m31, float m32, float m33)
    : m{TVec4(m00, m01, m02, m03), TVec4(m10, m11, m12, m13), TVec4(m20, m21, m22, m23), TVec4(m30, m31, m32, m33)}
{
}

TVec4 operator*(const TVec4& v, const TMat4& M)
{
    TVec4 r;
    for (int j = 0; j < 4; ++j)
        r[j] = v.x * M[0][j] + v.y * M[1][j] + v.z * M[2][j] + v.w * M[3][j];
    return r;
}

TVec3 operator*(const TVec3& v, const TMat4& M)
{
    TVec3 r;
    for (int j = 0; j < 3; ++j)
        r[j] = v.x * M[0][j] + v.y * M[1][j] + v.z * M[2][j] + M[3][j];
    return r;
}

TVec2 operator*(const TVec2& v, const TMat3& M)
{
    return TVec2(v.x * M[0][0] + v.y * M[1][0] + M[2][0], v.x * M[0][1] + v.y * M[1][1] + M[2][1]);
}

TMat4 operator*(const TMat4& A, const TMat4& B)
{
    TMat4 R;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += A[i][k] * B[k][j];
            R[i][j] = s;
        }
    return R;
}

TMat3 operator*(const TMat3& A, const TMat3& B)
{
    TMat3 R;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            float s = 0;
            for (int k = 0; k < 3; ++k)
                s += A[i][k] * B[k][j];
            R[i][j] = s;
        }
    return R;
}

TMat3 Multiply2x2(const TMat3& A, const TMat3& B)
{
    TMat3 R;
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j)
            R[i][j] = A[i][0] * B[0][j] + A[i][1] * B[1][j];
        R[i][2] = 0;
    }
    R[2] = A[2];
    return R;
}

void TMat3::Scale(float s)
{
    Scale(s, s);
}

void TMat3::Scale(float sx, float sy)
{
    *this = Multiply2x2(*this, TMat3(sx, 0, 0, 0, sy, 0, 0, 0, 1));
}

TMat3 TMat3::GetRotation(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    return TMat3(c, s, 0, -s, c, 0, 0, 0, 1);
}

void TMat3::Rotate(float angle)
{
    *this = Multiply2x2(*this, GetRotation(angle));
}

void TMat4::Scale(float x, float y, float z)
{
    for (int i = 0; i < 4; ++i) {
        m[i].x *= x;
        m[i].y *= y;
        m[i].z *= z;
    }
}

void TMat4::RotateAxis(const TVec3& a, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    const float x = a.x, y = a.y, z = a.z;
    const TMat4 R(t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0,  //
                  t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0,  //
                  t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0,  //
                  0, 0, 0, 1);
    *this = *this * R;
}

void TMat4::RotateY(float angle)
{
    RotateAxis(TVec3(0, 1, 0), angle);
}

namespace {

float ShiftTerm(float o)
{
    const float d = 1 - std::fabs(o);
    return d == 0 ? -10000.0f : o / d;
}

}  // namespace

void TMat4::OffsetPerspective(float nearZ, float farZ, float fovY, float aspect, const TVec2& offset)
{
    const float f = std::cos(fovY / 2) / std::sin(fovY / 2);
    const float q = farZ / (farZ - nearZ);
    m[0] = TVec4(f / aspect, 0, 0, 0);
    m[1] = TVec4(0, f, 0, 0);
    m[2] = TVec4(ShiftTerm(offset.x), ShiftTerm(offset.y), q, 1);
    m[3] = TVec4(0, 0, -nearZ * q, 0);
}
