#include "game/world/geometry/plane_tests.h"

#include <algorithm>
#include <cmath>

bool CheckCrossingOfTwoLines(const tVec2f& p1, const tVec2f& p2, const tVec2f& p3, const tVec2f& p4)
{
    const float d = (p2 - p1).Cross(p4 - p3);
    if (std::fabs(d) < 0.01f)
        return false;
    if (p1 == p3 || p1 == p4 || p2 == p3 || p2 == p4)
        return false;
    const float ua = ((p4.x - p3.x) * (p1.y - p3.y) - (p4.y - p3.y) * (p1.x - p3.x)) / d;
    const float ub = ((p2.x - p1.x) * (p1.y - p3.y) - (p2.y - p1.y) * (p1.x - p3.x)) / d;
    return ua > 0.0001f && ua < 0.9999f && ub > 0.0001f && ub < 0.9999f;
}

bool CheckIntersectionOfTwoLines(const tVec2f& p1, const tVec2f& p2, const tVec2f& p3, const tVec2f& p4)
{
    const float d = (p2 - p1).Cross(p4 - p3);
    if (d == 0)
        return false;
    const float ua = ((p4.x - p3.x) * (p1.y - p3.y) - (p4.y - p3.y) * (p1.x - p3.x)) / d;
    const float ub = ((p2.x - p1.x) * (p1.y - p3.y) - (p2.y - p1.y) * (p1.x - p3.x)) / d;
    return ua >= 0 && ua <= 1 && ub >= 0 && ub <= 1;
}

bool SameSide(const tVec2f& p, const tVec2f& q, const tVec2f& lineStart, const tVec2f& lineEnd)
{
    const tVec2f line = lineEnd - lineStart;
    const float cp = line.Cross(p - lineStart);
    if (std::fabs(cp) < 0.02f)
        return true;
    return cp * line.Cross(q - lineStart) >= 0;
}

bool IsPointInTriangle(const tVec2f& p, const tVec2f& a, const tVec2f& b, const tVec2f& c)
{
    return SameSide(p, a, b, c) && SameSide(p, b, c, a) && SameSide(p, c, a, b);
}

tVec2f ClosestPointToLine(const tVec2f& p, const tVec2f& a, const tVec2f& b)
{
    if (a == b)
        return a;
    const tVec2f ab = b - a;
    const float t = std::clamp((p - a).Dot(ab) / ab.LengthSquared(), 0.0f, 1.0f);
    return a + ab * t;
}

tVec2f ClosestPointToTriangle(const tVec2f& p, const tVec2f& a, const tVec2f& b, const tVec2f& c)
{
    const tVec2f q1 = ClosestPointToLine(p, a, b);
    const tVec2f q2 = ClosestPointToLine(p, b, c);
    const tVec2f q3 = ClosestPointToLine(p, c, a);
    const float d1 = tVec2f::DistanceSquared(p, q1);
    const float d2 = tVec2f::DistanceSquared(p, q2);
    const float d3 = tVec2f::DistanceSquared(p, q3);
    if (d1 < d2 && d1 < d3)
        return q1;
    if (d2 <= d1 && d2 < d3)
        return q2;
    return q3;
}
