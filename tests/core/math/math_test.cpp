#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectNear(const TVec2& a, const TVec2& b)
{
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
}

TEST(Mat3, TranslationAndScale)
{
    EXPECT_EQ(TMat3(), TMat3(1, 0, 0, 0, 1, 0, 0, 0, 1));
    TMat3 t(1, 0, 0, 0, 1, 0, 5, 7, 1);
    EXPECT_EQ(TVec2(1, 2) * t, TVec2(6, 9));
    t.Scale(2);
    EXPECT_EQ(t[2], TVec3(5, 7, 1));
    EXPECT_EQ(TVec2(1, 2) * t, TVec2(7, 11));
    t.Scale(1, 3);
    EXPECT_EQ(TVec2(1, 1) * t, TVec2(7, 13));
}

TEST(Mat3, RotationKeepsTranslation)
{
    TMat3 r = TMat3::GetRotation(kPi / 2);
    ExpectNear(TVec2(1, 0) * r, TVec2(0, 1));
    TMat3 m(1, 0, 0, 0, 1, 0, 10, 20, 1);
    m.Rotate(kPi / 2);
    ExpectNear(TVec2(1, 0) * m, TVec2(10, 21));
    EXPECT_EQ(m[0][2], 0.0f);
}

TEST(Mat3, ProductsAndMultiply2x2)
{
    TMat3 a(1, 2, 0, 3, 4, 0, 5, 6, 1);
    TMat3 b(2, 0, 0, 0, 3, 0, 7, 8, 1);
    TMat3 p = a * b;
    EXPECT_EQ(p, TMat3(2, 6, 0, 6, 12, 0, 17, 26, 1));
    TMat3 q = Multiply2x2(a, b);
    EXPECT_EQ(q, TMat3(2, 6, 0, 6, 12, 0, 5, 6, 1));
    // Applying a then b to a point equals applying the product.
    ExpectNear((TVec2(1, 1) * a) * b, TVec2(1, 1) * p);
}

TEST(Mat4, VectorProducts)
{
    TMat4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(TVec4(1, 0, 0, 1) * m, TVec4(14, 16, 18, 20));
    EXPECT_EQ(TVec3(1, 1, 1) * m, TVec3(28, 32, 36));
    TMat4 s;
    s.Scale(2, 3, 4);
    EXPECT_EQ(TVec3(1, 1, 1) * s, TVec3(2, 3, 4));
    EXPECT_EQ(s * TMat4(), s);
    TMat4 t;
    t[3] = TVec4(1, 2, 3, 1);
    EXPECT_EQ(TVec3(0, 0, 0) * (s * t), TVec3(1, 2, 3));
    EXPECT_EQ(TVec3(1, 1, 1) * (s * t), TVec3(3, 5, 7));
}

TEST(Mat4, Rotation)
{
    TMat4 r;
    r.RotateY(kPi / 2);
    TVec3 v = TVec3(1, 0, 0) * r;
    EXPECT_NEAR(v.x, 0, 1e-5f);
    EXPECT_NEAR(v.z, -1, 1e-5f);
    TMat4 z;
    z.RotateAxis(TVec3(0, 0, 1), kPi / 2);
    TVec3 w = TVec3(1, 0, 0) * z;
    EXPECT_NEAR(w.x, 0, 1e-5f);
    EXPECT_NEAR(w.y, 1, 1e-5f);
    // Composes onto what is there.
    TMat4 both;
    both.Scale(2, 2, 2);
    both.RotateAxis(TVec3(0, 0, 1), kPi / 2);
    TVec3 u = TVec3(1, 0, 0) * both;
    EXPECT_NEAR(u.y, 2, 1e-5f);
}

TEST(Mat4, OffsetPerspective)
{
    TMat4 p;
    p.OffsetPerspective(1, 100, kPi / 2, 2, TVec2(0, 0));
    EXPECT_NEAR(p[0][0], 0.5f, 1e-5f);
    EXPECT_NEAR(p[1][1], 1.0f, 1e-5f);
    EXPECT_EQ(p[2][3], 1.0f);
    // Near maps to depth 0, far to 1 after division by w.
    TVec4 n = TVec4(0, 0, 1, 1) * p;
    TVec4 f = TVec4(0, 0, 100, 1) * p;
    EXPECT_NEAR(n.z / n.w, 0.0f, 1e-5f);
    EXPECT_NEAR(f.z / f.w, 1.0f, 1e-5f);

    p.OffsetPerspective(1, 100, kPi / 2, 1, TVec2(1, 0.5f));
    EXPECT_EQ(p[2][0], -10000.0f);
    EXPECT_NEAR(p[2][1], 1.0f, 1e-6f);
    p.OffsetPerspective(1, 100, kPi / 2, 1, TVec2(-1, -0.5f));
    EXPECT_EQ(p[2][0], -10000.0f);
    EXPECT_NEAR(p[2][1], -1.0f, 1e-6f);
}

TEST(Rect, UnionAndIntersect)
{
    TRect a(0, 0, 10, 10), b(5, -5, 20, 8);
    EXPECT_EQ(TRect::Union(a, b), TRect(0, -5, 20, 10));
    EXPECT_EQ(TRect::Intersect(a, b), TRect(5, 0, 10, 8));
    TRect far(50, 50, 60, 60);
    TRect none = TRect::Intersect(a, far);
    EXPECT_LT(none.right, none.left);
    EXPECT_LT(none.bottom, none.top);
    TURect u(3, 4, 1, 2);
    EXPECT_EQ(u.left, 3u);
    EXPECT_EQ(u.right, 1u);
}

TEST(Color, PackingTruncates)
{
    EXPECT_EQ(TColor32(TColor(1, 0.5f, 0, 1)).Value(), 0xFFFF7F00u);
    EXPECT_EQ(TColor32(TColor(-0.2f, 0, 0, 1)).Red(), 0);
    EXPECT_EQ(TColor32(TColor(0.999f, 0.004f, 0, 0)).Value(), 0x00FE0100u);
    EXPECT_EQ(TColor32(TColor()).Value(), 0u);
}

TEST(Color, OutOfRangeChannelsStayInTheirByte)
{
    TColor32 c(TColor(0, 1.5f, 0, 0));
    EXPECT_EQ(c.Value(), 0x0000FF00u);
    EXPECT_EQ(TColor32(TColor(std::numeric_limits<float>::quiet_NaN(), 0, 0, 2)).Value(), 0xFF000000u);
}

TEST(Color, ChannelsAndInit)
{
    TColor32 c(0x11, 0x22, 0x33, 0x44);
    EXPECT_EQ(c.Value(), 0x44112233u);
    EXPECT_EQ(c.Red(), 0x11);
    EXPECT_EQ(c.Green(), 0x22);
    EXPECT_EQ(c.Blue(), 0x33);
    EXPECT_EQ(c.Alpha(), 0x44);
    c.SetAlpha(0xFF);
    EXPECT_EQ(c.Value(), 0xFF112233u);
    EXPECT_EQ(TColor32(0xFFFFFFFFu).Red(), 0xFF);
    EXPECT_EQ(TColor32().Value(), 0u);
    TColor f;
    f.Init(255, 0, 51, 255);
    EXPECT_EQ(f, TColor(1, 0, 0.2f, 1));
    EXPECT_EQ(TColor32(f).Value(), 0xFFFF0033u);
}

}  // namespace
