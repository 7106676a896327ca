// Segment, triangle and closest-point tests, and the vector helpers.

#include "game/world/geometry/plane_tests.h"

#include <gtest/gtest.h>

#include "common/log_capture.h"

namespace {

struct SegmentCase
{
    const char* what;
    tVec2f p1, p2, p3, p4;
    bool crossing, intersection;
};

TEST(SegmentTests, CrossingIgnoresTouchesIntersectionCountsThem)
{
    const SegmentCase cases[] = {
        {"proper cross", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true, true},
        {"apart", {0, 0}, {1, 1}, {5, 0}, {6, 1}, false, false},
        {"shared end point", {0, 0}, {10, 0}, {10, 0}, {10, 10}, false, true},
        {"end on the other's middle", {5, 0}, {5, 10}, {0, 10}, {10, 10}, false, true},
        {"collinear, overlapping", {0, 0}, {10, 0}, {5, 0}, {15, 0}, false, false},
        {"along, same line apart", {0, 0}, {4, 0}, {5, 0}, {9, 0}, false, false},
        {"nearly parallel", {0, 0}, {100, 0}, {0, -0.00001f}, {100, 0.00001f}, false, true},
        {"just inside the ends", {0, 0}, {10, 0}, {5, -0.01f}, {5, 10}, true, true},
        {"passing a corner", {0, 5}, {10, 5}, {5, 5}, {5, 10}, false, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckCrossingOfTwoLines(c.p1, c.p2, c.p3, c.p4), c.crossing) << c.what;
        EXPECT_EQ(CheckIntersectionOfTwoLines(c.p1, c.p2, c.p3, c.p4), c.intersection) << c.what;
    }
}

TEST(TriangleTests, PointsOnOrNearEdgesAreInsideEitherWinding)
{
    const tVec2f a(0, 0), b(10, 0), c(0, 10);
    const struct
    {
        tVec2f p;
        bool inside;
    } cases[] = {
        {{2, 2}, true},      {{5, 5}, true},      {{0, 5}, true},   {{10, 0}, true},
        {{5.001f, 5}, true}, {{5.01f, 5}, false}, {{-1, 5}, false}, {{11, 0}, false},
    };
    for (const auto& c2 : cases) {
        EXPECT_EQ(IsPointInTriangle(c2.p, a, b, c), c2.inside) << c2.p.x << "," << c2.p.y;
        EXPECT_EQ(IsPointInTriangle(c2.p, a, c, b), c2.inside) << "reversed " << c2.p.x << "," << c2.p.y;
    }
}

TEST(ClosestPoint, LinesAndTriangles)
{
    EXPECT_EQ(ClosestPointToLine({5, 5}, {0, 0}, {10, 0}), tVec2f(5, 0));
    EXPECT_EQ(ClosestPointToLine({-5, 5}, {0, 0}, {10, 0}), tVec2f(0, 0));
    EXPECT_EQ(ClosestPointToLine({15, 5}, {0, 0}, {10, 0}), tVec2f(10, 0));
    EXPECT_EQ(ClosestPointToLine({15, 5}, {3, 3}, {3, 3}), tVec2f(3, 3));
    EXPECT_EQ(ClosestPointToTriangle({5, -3}, {0, 0}, {10, 0}, {0, 10}), tVec2f(5, 0));
    EXPECT_EQ(ClosestPointToTriangle({-3, 5}, {0, 0}, {10, 0}, {0, 10}), tVec2f(0, 5));
    EXPECT_EQ(ClosestPointToTriangle({10, 10}, {0, 0}, {10, 0}, {0, 10}), tVec2f(5, 5));
}

TEST(VectorHelpers, NormalizeLerpAndInverseLerp)
{
    tVec2f v(3, 4);
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    tVec2f zero;
    zero.Normalize();
    zero.NormalizeMaxSpeed(2);
    EXPECT_EQ(zero, tVec2f());
    const struct
    {
        tVec2f v;
        float max;
        tVec2f expected;
    } speeds[] = {{{3, 4}, 2, {1.2f, 1.6f}}, {{3, 4}, 5, {3, 4}}, {{3, 4}, 10, {3, 4}}, {{0, 1}, 0.5f, {0, 0.5f}}};
    for (const auto& s : speeds) {
        tVec2f w = s.v;
        w.NormalizeMaxSpeed(s.max);
        EXPECT_FLOAT_EQ(w.x, s.expected.x) << s.max;
        EXPECT_FLOAT_EQ(w.y, s.expected.y) << s.max;
    }
    EXPECT_EQ(lerp(tVec2f(0, 0), tVec2f(10, 20), 0.25f), tVec2f(2.5f, 5));
    EXPECT_EQ(tVec2f(4, 8) / 4.0f, tVec2f(1, 2));
    EXPECT_FLOAT_EQ(tVec2f::Distance({0, 0}, {3, 4}), 5);
    EXPECT_FLOAT_EQ(inv_flerp(10, 20, 15), 0.5f);
    EXPECT_FLOAT_EQ(inv_flerp(10, 20, 25), 1.5f);
    TLogCapture log;
    EXPECT_FLOAT_EQ(inv_flerp(3, 3, 7), 0.5f);
    EXPECT_NE(log.Text().find("bad inv_flerp(3.000000, 3.000000)"), std::string::npos);
}

}  // namespace
