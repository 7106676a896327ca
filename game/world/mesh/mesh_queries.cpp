// Point, segment and label queries of the walk mesh.

#include <algorithm>
#include <vector>

#include "game/script/df_log.h"
#include "game/world/geometry/plane_tests.h"
#include "game/world/mesh/mesh.h"

tVector2<float> tMesh::ConvertOuterSpaceToInnerSpace(const tVector2<float>& p) const
{
    return tVector2<float>(p.x / mScale.x - mOffset.x, p.y / mScale.y - mOffset.y);
}

tVector2<float> tMesh::ConvertInnerSpaceToOuterSpace(const tVector2<float>& p) const
{
    return tVector2<float>((p.x + mOffset.x) * mScale.x, (p.y + mOffset.y) * mScale.y);
}

tVector2<float> tMesh::ConvertVertToOuterSpace(int index) const
{
    return ConvertInnerSpaceToOuterSpace(GetVertex(index));
}

tVector2<float> tMesh::GetVertex(int index) const
{
    return IsValidVertIndex(index) ? m_Vertlist[size_t(index)] : tVector2<float>();
}

namespace {

bool Contains(const std::vector<tVector2<float>>& verts, const tPoly& poly, const tVector2<float>& p)
{
    return IsPointInTriangle(p, verts[size_t(poly.points[0])], verts[size_t(poly.points[1])],
                             verts[size_t(poly.points[2])]);
}

}  // namespace

int tMesh::FirstPolyContaining(const tVector2<float>& inner) const
{
    if (!mIndex.Built())
        return ScanPolys(inner);
    return mIndex.FirstPoly(inner, [&](int i) { return Contains(m_Vertlist, mPolys[size_t(i)], inner); });
}

int tMesh::PolyCollide(const tVector2<float>& point) const
{
    return FirstPolyContaining(ConvertOuterSpaceToInnerSpace(point));
}

int tMesh::PolyCollideLinear(const tVector2<float>& point) const
{
    return ScanPolys(ConvertOuterSpaceToInnerSpace(point));
}

int tMesh::ScanPolys(const tVector2<float>& inner) const
{
    for (size_t i = 0; i < mPolys.size(); ++i)
        if (mPolys[i].enabled && Contains(m_Vertlist, mPolys[i], inner))
            return int(i);
    return -1;
}

int tMesh::PolyCollide(int index, const tVector2<float>& point) const
{
    if (!IsValidPolyIndex(index) || !mPolys[size_t(index)].enabled)
        return -1;
    return Contains(m_Vertlist, mPolys[size_t(index)], ConvertOuterSpaceToInnerSpace(point)) ? index : -1;
}

tVector2<float> tMesh::ClosestPointToOrInPoly(int index, const tVector2<float>& point) const
{
    if (!IsValidPolyIndex(index))
        return point;
    const tPoly& poly = mPolys[size_t(index)];
    const tVector2<float>& a = m_Vertlist[size_t(poly.points[0])];
    const tVector2<float>& b = m_Vertlist[size_t(poly.points[1])];
    const tVector2<float>& c = m_Vertlist[size_t(poly.points[2])];
    if (IsPointInTriangle(point, a, b, c))
        return point;
    return ClosestPointToTriangle(point, a, b, c);
}

tVector2<float> tMesh::ClosestPointAmong(const tVector2<float>& point, const std::vector<bool>& polys) const
{
    float best = 1e7f;
    tVector2<float> result;
    for (size_t i = 0; i < mPolys.size(); ++i) {
        if (!polys[i])
            continue;
        const tVector2<float> q = ClosestPointToOrInPoly(int(i), point);
        const float d = tVector2<float>::DistanceSquared(q, point);
        if (d < best)
            best = d, result = q;
    }
    return result;
}

tVector2<float> tMesh::ClosestPointToMesh(const tVector2<float>& point) const
{
    std::vector<bool> enabled(mPolys.size());
    for (size_t i = 0; i < mPolys.size(); ++i)
        enabled[i] = mPolys[i].enabled;
    return ClosestPointAmong(point, enabled);
}

void tMesh::ComputeReachablePolys(int start, std::vector<bool>* seen) const
{
    seen->assign(mPolys.size(), false);
    if (!IsValidPolyIndex(start) || !mPolys[size_t(start)].enabled)
        return;
    std::vector<int> stack{start};
    (*seen)[size_t(start)] = true;
    while (!stack.empty()) {
        const tPoly& poly = mPolys[size_t(stack.back())];
        stack.pop_back();
        for (int next : poly.adjacency) {
            if (next < 0)
                break;
            if ((*seen)[size_t(next)] || !mPolys[size_t(next)].enabled)
                continue;
            (*seen)[size_t(next)] = true;
            stack.push_back(next);
        }
    }
}

tVector2<float> tMesh::ClosestPointToMeshFromPoint(const tVector2<float>& point, const tVector2<float>& from) const
{
    int start = PolyCollide(from);
    if (start < 0)
        start = PolyCollide(ClosestPointToMesh(from));
    if (start < 0)
        return tVector2<float>();
    std::vector<bool> reachable;
    ComputeReachablePolys(start, &reachable);
    return ClosestPointAmong(point, reachable);
}

namespace {

// The parameter at which corner v lies on the open segment a-b (within 0.01 of it); -1 when
// it does not.
float CornerOnSegment(const tVector2<float>& a, const tVector2<float>& b, const tVector2<float>& v)
{
    const tVector2<float> d = b - a;
    const float length2 = d.LengthSquared();
    const float cross = d.Cross(v - a);
    if (!(length2 > 0) || !(cross * cross <= 1e-4f * length2))
        return -1;
    const float t = (v - a).Dot(d) / length2;
    return t > 0 && t < 1 ? t : -1;
}

}  // namespace

bool tMesh::CrossesBoundary(const tVector2<float>& a, const tVector2<float>& b, std::vector<float>* corners,
                            bool scan) const
{
    auto blocks = [&](int e) {
        const tEdge& edge = mEdges[size_t(e)];
        const tVector2<float>& va = m_Vertlist[size_t(edge.a)];
        const tVector2<float>& vb = m_Vertlist[size_t(edge.b)];
        if (CheckCrossingOfTwoLines(a, b, va, vb))
            return true;
        if (corners) {
            for (const tVector2<float>* v : {&va, &vb})
                if (const float t = CornerOnSegment(a, b, *v); t > 0)
                    corners->push_back(t);
        }
        return false;
    };
    if (scan || !mIndex.Built()) {
        for (size_t e = 0; e < mEdges.size(); ++e)
            if (blocks(int(e)))
                return true;
        return false;
    }
    return mIndex.AnyEdge(a, b, blocks);
}

bool tMesh::Travel(const tVector2<float>& fromPoint, const tVector2<float>& toPoint, bool scan) const
{
    // One order for both directions, so that a way is open both ways or neither (the walk-node
    // links depend on it).
    const bool swap = toPoint.x < fromPoint.x || (toPoint.x == fromPoint.x && toPoint.y < fromPoint.y);
    const tVector2<float>& from = swap ? toPoint : fromPoint;
    const tVector2<float>& to = swap ? fromPoint : toPoint;
    auto inside = [&](const tVector2<float>& inner) {
        return (scan ? ScanPolys(inner) : FirstPolyContaining(inner)) >= 0;
    };
    // The midpoint first: cheaper, and it settles most blocked pairs.
    if (!inside(ConvertOuterSpaceToInnerSpace((from + to) / 2.0f)))
        return false;
    const tVector2<float> a = ConvertOuterSpaceToInnerSpace(from), b = ConvertOuterSpaceToInnerSpace(to);
    // Kept between calls for its storage: the graph build asks this for every pair of nodes.
    thread_local std::vector<float> corners;
    corners.clear();
    if (CrossesBoundary(a, b, &corners, scan))
        return false;
    // A segment may pass boundary corners without crossing an edge, yet leave the mesh between
    // two of them (along a wall into a block, across a notch): every piece between corners
    // must be on the mesh.
    std::sort(corners.begin(), corners.end());
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
    float previous = 0;
    corners.push_back(1);
    for (float t : corners) {
        if (!inside(lerp(a, b, (previous + t) / 2)))
            return false;
        previous = t;
    }
    return true;
}

bool tMesh::TestEdgeCrossings(const tVector2<float>& from, const tVector2<float>& to) const
{
    return CrossesBoundary(ConvertOuterSpaceToInnerSpace(from), ConvertOuterSpaceToInnerSpace(to), nullptr, false);
}

bool tMesh::ScanEdges(const tVector2<float>& from, const tVector2<float>& to, tSegmentTest test) const
{
    const tVector2<float> a = ConvertOuterSpaceToInnerSpace(from), b = ConvertOuterSpaceToInnerSpace(to);
    for (const tEdge& edge : mEdges)
        if (test(a, b, m_Vertlist[size_t(edge.a)], m_Vertlist[size_t(edge.b)]))
            return true;
    return false;
}

bool tMesh::TestEdgeCrossingsLinear(const tVector2<float>& from, const tVector2<float>& to) const
{
    return ScanEdges(from, to, CheckCrossingOfTwoLines);
}

bool tMesh::TestEdgeIntersections(const tVector2<float>& from, const tVector2<float>& to) const
{
    return ScanEdges(from, to, CheckIntersectionOfTwoLines);
}

bool tMesh::IsValidTravel(const tVector2<float>& from, const tVector2<float>& to) const
{
    return Travel(from, to, false);
}

bool tMesh::IsValidTravelLinear(const tVector2<float>& from, const tVector2<float>& to) const
{
    return Travel(from, to, true);
}

bool tMesh::LookupVertByLabel(const str& label, tVector2<float>* point) const
{
    const auto it = mVertLabels.find(label);
    if (it == mVertLabels.end())
        return false;
    if (!IsValidVertIndex(it->second)) {
        LOGIT("ASSERT: %s\n", "m_Vertlist.size() > vindex");
        dfDebugBreak();
        return false;
    }
    *point = ConvertVertToOuterSpace(it->second);
    return true;
}

tVector2<float> tMesh::LookupVertByLabel(const str& label) const
{
    tVector2<float> point;
    return LookupVertByLabel(label, &point) ? point : tVector2<float>();
}

bool tMesh::VertExists(const str& label) const
{
    return mVertLabels.count(label) != 0;
}

std::optional<str> tMesh::LookupPolyLabelByIndex(int index) const
{
    if (!IsValidPolyIndex(index))
        return std::nullopt;
    const int label = mPolys[size_t(index)].labelIndex;
    if (label < 0 || size_t(label) >= mPolyLabels.size())
        return std::nullopt;
    return mPolyLabels[size_t(label)];
}
