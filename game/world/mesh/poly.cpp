#include "game/world/mesh/poly.h"

#include "core/debug/debug_log.h"

void tPoly::Wipe()
{
    for (int i = 0; i < POINTS; ++i)
        points[i] = adjacency[i] = -1;
    labelIndex = -1;
    depthValue = 0;
    enabled = true;
}

bool tPoly::HasPoint(int vertex) const
{
    return points[0] == vertex || points[1] == vertex || points[2] == vertex;
}

bool tPoly::IsAdjacentToPoly(const tPoly& other) const
{
    if (&other == this)
        return false;
    int shared = 0;
    for (int p : points)
        shared += other.HasPoint(p) ? 1 : 0;
    return shared == 2;
}

bool tPoly::AddAdjacency(int poly)
{
    for (int& slot : adjacency) {
        if (slot == poly)
            return true;
        if (slot < 0) {
            slot = poly;
            return true;
        }
    }
    WriteDbg("Too many adjacent polygons");
    return false;
}

bool tPoly::GetAdjacencyEdgeToPoly(const tPoly& other, int* first, int* second) const
{
    int found = 0;
    for (int p : points) {
        if (!other.HasPoint(p))
            continue;
        (found == 0 ? *first : *second) = p;
        if (++found == 2)
            return true;
    }
    WriteDbg("Asked for shared edge of non-adjacent poly");
    return false;
}
