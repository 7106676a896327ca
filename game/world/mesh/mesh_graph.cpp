// The tables derived from the polygons: adjacency, centres, boundary edges and the walk-node
// visibility graph. Rebuilt after a load and whenever a region is switched.

#include <algorithm>
#include <vector>

#include "core/debug/debug_log.h"
#include "game/world/mesh/mesh.h"

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
                WriteDbg("IsBelow(vi, (uint)m_Vertlist.size())");
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
        const int sides[3][2] = {{poly.points[0], poly.points[2]},
                                 {poly.points[1], poly.points[0]},
                                 {poly.points[2], poly.points[1]}};
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
    ++mGeneration;
    ComputeWalknodeGraph();
}

void tMesh::ComputeWalknodeGraph()
{
    std::vector<tWalknode*> nodes;
    int number = 2;
    for (auto& [vertex, node] : mWalknodes) {
        node.number = number++;
        node.vertex = vertex;
        node.links.clear();
        nodes.push_back(&node);
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        const tVector2<float> from = GetVertex(nodes[i]->vertex);
        for (size_t j = i + 1; j < nodes.size(); ++j) {
            if (!IsValidTravel(from, GetVertex(nodes[j]->vertex)))
                continue;
            // Pairs come in ascending order of both numbers: the lists stay sorted.
            nodes[i]->links.push_back(nodes[j]->number);
            nodes[j]->links.push_back(nodes[i]->number);
        }
    }
}

void tMesh::VisibleWalknodes(const tVector2<float>& point, std::vector<int>* numbers, bool scan) const
{
    numbers->clear();
    if (!scan) {
        // Visibility is symmetric (IsValidTravel looks at a pair in one order), so a node's
        // links are what its vertex sees; it also sees itself.
        for (const auto& [vertex, node] : mWalknodes) {
            if (GetVertex(vertex) != point)
                continue;
            *numbers = node.links;
            if (IsValidTravel(point, point))
                numbers->insert(std::lower_bound(numbers->begin(), numbers->end(), node.number), node.number);
            return;
        }
        if (mVisibleCache.generation == mGeneration && mVisibleCache.point == point) {
            *numbers = mVisibleCache.numbers;
            return;
        }
    }
    for (const auto& [vertex, node] : mWalknodes) {
        const tVector2<float> v = GetVertex(vertex);
        if (scan ? IsValidTravelLinear(point, v) : IsValidTravel(point, v))
            numbers->push_back(node.number);
    }
    if (!scan)
        mVisibleCache = tVisibleCache{mGeneration, point, *numbers};
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
