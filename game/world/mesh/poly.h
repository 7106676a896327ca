#pragma once
// One walk-mesh triangle and one boundary edge.

#include "game/world/geometry/vector2.h"

struct tPoly
{
    static constexpr int POINTS = 3;

    int points[POINTS] = {-1, -1, -1};     // vertex indices
    int adjacency[POINTS] = {-1, -1, -1};  // neighbouring polygons; -1 a free slot
    int labelIndex = -1;
    int depthValue = -1;
    tVector2<float> centre;
    bool enabled = true;

    void Wipe();
    bool HasPoint(int vertex) const;
    // Shares exactly two vertices with `other` (never adjacent to itself).
    bool IsAdjacentToPoly(const tPoly& other) const;
    // Some neighbour listed in the slots (looked up in `polys`) holds both vertices.
    template <class PolyList>
    bool MatchesEdge(const PolyList& polys, int a, int b) const
    {
        for (int slot : adjacency) {
            if (slot < 0)
                break;
            if (polys[slot].HasPoint(a) && polys[slot].HasPoint(b))
                return true;
        }
        return false;
    }
    // Fills the first free slot; a neighbour already listed is ignored. False (and a log line)
    // when all slots are taken.
    bool AddAdjacency(int poly);
    // The first two of this polygon's points that `other` also has; false (and a log line) when
    // they share fewer.
    bool GetAdjacencyEdgeToPoly(const tPoly& other, int* first, int* second) const;
};

struct tEdge
{
    int a = -1, b = -1;  // a < b

    tEdge() = default;
    tEdge(int v1, int v2) : a(v1 < v2 ? v1 : v2), b(v1 < v2 ? v2 : v1) {}
    bool operator==(const tEdge&) const = default;
};
