// The tables derived from the polygons: adjacency, centres, boundary edges and the walk-node
// visibility graph. Rebuilt after a load and whenever a region is switched.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "game/script/df_log.h"
#include "game/world/mesh/mesh.h"

namespace {

// Equal points have equal keys (both zeros are one). Points that are not numbers equal
// nothing: WalknodeAt never looks them up.
uint64_t PositionKey(const tVector2<float>& p)
{
    uint32_t x, y;
    const float fx = p.x + 0.0f, fy = p.y + 0.0f;
    std::memcpy(&x, &fx, 4);
    std::memcpy(&y, &fy, 4);
    return uint64_t(x) << 32 | y;
}

}  // namespace

void tMesh::ComputeAdjacencies()
{
    for (tPoly& poly : mPolys)
        for (int& slot : poly.adjacency)
            slot = -1;
    // Every pair (i < j) of enabled polygons sharing exactly two vertices, in the order of a
    // scan of all pairs; only polygons meeting at a vertex are looked at.
    std::vector<std::vector<int>> byVertex(m_Vertlist.size());
    for (size_t i = 0; i < mPolys.size(); ++i) {
        if (!mPolys[i].enabled)
            continue;
        for (int p : mPolys[i].points)
            if (IsValidVertIndex(p) && (byVertex[size_t(p)].empty() || byVertex[size_t(p)].back() != int(i)))
                byVertex[size_t(p)].push_back(int(i));
    }
    std::vector<int> candidates;
    for (size_t i = 0; i < mPolys.size(); ++i) {
        if (!mPolys[i].enabled)
            continue;
        candidates.clear();
        for (int p : mPolys[i].points)
            if (IsValidVertIndex(p))
                for (int j : byVertex[size_t(p)])
                    if (j > int(i))
                        candidates.push_back(j);
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        for (int j : candidates) {
            if (!mPolys[i].IsAdjacentToPoly(mPolys[size_t(j)]))
                continue;
            mPolys[i].AddAdjacency(j);
            mPolys[size_t(j)].AddAdjacency(int(i));
        }
    }
}

void tMesh::ComputeCenters()
{
    for (tPoly& poly : mPolys) {
        tVector2<float> sum;
        for (int vi : poly.points) {
            // The loader rejects such files; a polygon built otherwise keeps its centre.
            if (!IsValidVertIndex(vi)) {
                LOGIT("ASSERT: %s\n", "IsBelow(vi, (uint)m_Vertlist.size())");
                dfDebugBreak();
                sum = poly.centre * 3.0f;
                break;
            }
            sum += m_Vertlist[size_t(vi)];
        }
        poly.centre = sum / 3.0f;
    }
}

void tMesh::ComputeEdges()
{
    mEdges.clear();
    mWalknodes.clear();
    for (const tPoly& poly : mPolys) {
        if (!poly.enabled)
            continue;
        const int sides[3][2] = {
            {poly.points[0], poly.points[2]}, {poly.points[1], poly.points[0]}, {poly.points[2], poly.points[1]}};
        for (const auto& side : sides) {
            const tEdge edge(side[0], side[1]);
            if (poly.MatchesEdge(mPolys, edge.a, edge.b))
                continue;
            mEdges.push_back(edge);
            mWalknodes[edge.a].vertex = edge.a;
            mWalknodes[edge.b].vertex = edge.b;
        }
    }
    mIndex.Build(m_Vertlist, mPolys, mEdges);
    Changed();
    ComputeWalknodeGraph();
}

void tMesh::Changed()
{
    static std::atomic<uint64_t> next{0};
    mGeneration = ++next;
}

void tMesh::ComputeWalknodeGraph()
{
    std::vector<tWalknode*> nodes;
    mWalknodeVertices.clear();
    mWalknodePositions.clear();
    mWalknodeAt.clear();
    int number = 2;
    for (auto& [vertex, node] : mWalknodes) {
        node.number = number++;
        node.vertex = vertex;
        node.links.clear();
        node.distances.clear();
        nodes.push_back(&node);
        mWalknodeVertices.push_back(vertex);
        mWalknodePositions.push_back(GetVertex(vertex));
        mWalknodeAt.emplace(PositionKey(mWalknodePositions.back()), node.number);
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        const tVector2<float> from = GetVertex(nodes[i]->vertex);
        for (size_t j = i + 1; j < nodes.size(); ++j) {
            const tVector2<float> to = GetVertex(nodes[j]->vertex);
            if (!IsValidTravel(from, to))
                continue;
            // Pairs come in ascending order of both numbers: the lists stay sorted.
            const float distance = tVector2<float>::Distance(from, to);
            nodes[i]->links.push_back(nodes[j]->number);
            nodes[i]->distances.push_back(distance);
            nodes[j]->links.push_back(nodes[i]->number);
            nodes[j]->distances.push_back(distance);
        }
    }
}


int tMesh::WalknodeAt(const tVector2<float>& point) const
{
    if (std::isnan(point.x) || std::isnan(point.y))
        return -1;
    const auto at = mWalknodeAt.find(PositionKey(point));
    return at == mWalknodeAt.end() ? -1 : at->second;
}

tMesh::tVisibleCache& tMesh::VisibleFrom(const tVector2<float>& point) const
{
    for (tVisibleCache& cache : mVisibleCache)
        if (cache.generation == mGeneration && cache.point == point) {
            mVisibleOlder = int(&cache == &mVisibleCache[0]);
            return cache;
        }
    tVisibleCache& cache = mVisibleCache[mVisibleOlder];
    mVisibleOlder ^= 1;
    cache.generation = mGeneration;
    cache.point = point;
    cache.sees.assign(mWalknodes.size(), -1);
    // Visibility is symmetric (IsValidTravel looks at a pair in one order), so a node's links
    // are what its vertex sees; it also sees itself when the way of no length is open.
    const int number = WalknodeAt(point);
    if (number < 0)
        return cache;
    const tWalknode& node = mWalknodes.at(WalknodeVertex(number));
    std::fill(cache.sees.begin(), cache.sees.end(), 0);
    for (int n : node.links)
        cache.sees[size_t(n - 2)] = 1;
    cache.sees[size_t(node.number - 2)] = IsValidTravel(point, point);
    return cache;
}

bool tMesh::SeesWalknode(const tVector2<float>& point, int number) const
{
    if (number < 2 || size_t(number - 2) >= mWalknodeVertices.size())
        return false;
    int8_t& sees = VisibleFrom(point).sees[size_t(number - 2)];
    if (sees < 0)
        sees = IsValidTravel(point, mWalknodePositions[size_t(number - 2)]);
    return sees;
}

void tMesh::VisibleWalknodes(const tVector2<float>& point, std::vector<int>* numbers, bool scan) const
{
    numbers->clear();
    for (const auto& [vertex, node] : mWalknodes)
        if (scan ? IsValidTravelLinear(point, GetVertex(vertex)) : SeesWalknode(point, node.number))
            numbers->push_back(node.number);
}

void tMesh::SetPolyState(const str& label, bool enabled)
{
    bool changed = false;
    for (tPoly& poly : mPolys) {
        if (poly.labelIndex < 0 || size_t(poly.labelIndex) >= mPolyLabels.size())
            continue;
        if (mPolyLabels[size_t(poly.labelIndex)] != label || poly.enabled == enabled)
            continue;
        poly.enabled = enabled;
        changed = true;
    }
    if (!changed)
        return;
    ComputeAdjacencies();
    ComputeEdges();
}
