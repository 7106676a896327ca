#pragma once
// A uniform grid over a walk mesh's enabled triangles and boundary edges, so that point and
// segment queries look at the few candidates near them instead of every polygon and edge.
// Candidates are chosen with a margin wide enough for the tolerances of the tests they feed,
// and polygons are offered in ascending index, so an indexed query answers exactly what a scan
// of the whole list answers. Points that are not finite take the whole list.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/world/geometry/vector2.h"
#include "game/world/mesh/poly.h"

class tMeshIndex
{
public:
    void Build(const std::vector<tVector2<float>>& verts, const std::vector<tPoly>& polys,
               const std::vector<tEdge>& edges);
    void Clear() { *this = tMeshIndex(); }
    bool Built() const { return mBuilt; }

    // The first candidate polygon, in ascending index, for which test(poly) holds; -1 when none.
    template <class Test>
    int FirstPoly(const tVector2<float>& p, Test&& test) const;
    // Whether test(edge) holds for some candidate edge near the segment a-b.
    template <class Test>
    bool AnyEdge(const tVector2<float>& a, const tVector2<float>& b, Test&& test) const;

private:
    struct tCells
    {
        std::vector<uint32_t> start;  // per cell, into items; one more entry at the end
        std::vector<int> items;
    };
    void Fill(tCells* cells, const std::vector<std::vector<int>>& lists);
    struct tGrid
    {
        float minX = 0, minY = 0, cell = 1;
        int nx = 0, ny = 0;
        // Cell numbers, -1 below the grid and n beyond it (far points never overflow an int).
        static int CellOf(float v, float min, float cell, int n)
        {
            // Truncation is the floor from zero up.
            const float f = (v - min) / cell;
            return !(f >= 0) ? -1 : f >= float(n) ? n : int(f);
        }
        int CellX(float x) const { return CellOf(x, minX, cell, nx); }
        int CellY(float y) const { return CellOf(y, minY, cell, ny); }
        bool Inside(const tVector2<float>& p) const
        {
            return p.x >= minX && p.y >= minY && p.x < minX + cell * nx && p.y < minY + cell * ny;
        }
    };
    struct tBoxedItem;
    void Spread(const tGrid& grid, const std::vector<tBoxedItem>& boxes, tCells* cells);

    bool mBuilt = false;
    float mMargin = 1;
    // Edges are fewer than polygons and looked for along whole segments: their cells are larger.
    tGrid mPolyGrid, mEdgeGrid;
    tCells mPolyCells, mEdgeCells;
    std::vector<int> mEverywhere;  // degenerate triangles: they contain every point
    std::vector<int> mAllPolys;    // enabled polygons, for points the grid cannot place
    int mEdgeCount = 0;
    // Each edge's box widened by the margin, and its ends: an edge in a cell that the segment
    // only passes by, or wholly on one side of the segment's line and beyond the margin, is
    // passed over.
    struct tEdgeBox
    {
        float x0, y0, x1, y1;
        tVector2<float> a, b;
    };
    std::vector<tEdgeBox> mEdgeBoxes;
    // An edge spans several cells: the query number it was last tested in, so that a query
    // tests it once.
    mutable std::vector<uint32_t> mEdgeSeen;
    mutable uint32_t mQuery = 0;
};

template <class Test>
int tMeshIndex::FirstPoly(const tVector2<float>& p, Test&& test) const
{
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        for (int poly : mAllPolys)
            if (test(poly))
                return poly;
        return -1;
    }
    const int* cell = nullptr;
    const int* cellEnd = nullptr;
    if (mPolyGrid.Inside(p)) {
        const size_t c = size_t(mPolyGrid.CellY(p.y)) * mPolyGrid.nx + mPolyGrid.CellX(p.x);
        cell = mPolyCells.items.data() + mPolyCells.start[c];
        cellEnd = mPolyCells.items.data() + mPolyCells.start[c + 1];
    }
    // Both lists ascend: merge them.
    auto every = mEverywhere.begin();
    while (cell != cellEnd || every != mEverywhere.end()) {
        int poly;
        if (every == mEverywhere.end() || (cell != cellEnd && *cell < *every))
            poly = *cell++;
        else
            poly = *every++;
        if (test(poly))
            return poly;
    }
    return -1;
}

template <class Test>
bool tMeshIndex::AnyEdge(const tVector2<float>& a, const tVector2<float>& b, Test&& test) const
{
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) {
        for (int e = 0; e < mEdgeCount; ++e)
            if (test(e))
                return true;
        return false;
    }
    const float m = mMargin;
    const float x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const float sy0 = std::min(a.y, b.y), sy1 = std::max(a.y, b.y);
    const tVector2<float> d = b - a;
    const float reach = m * d.Length();
    if (++mQuery == 0) {
        std::fill(mEdgeSeen.begin(), mEdgeSeen.end(), 0);
        mQuery = 1;
    }
    const tGrid& grid = mEdgeGrid;
    const int c0 = std::max(0, grid.CellX(x0 - m)), c1 = std::min(grid.nx - 1, grid.CellX(x1 + m));
    const bool vertical = a.x == b.x;
    const float slope = vertical ? 0 : (b.y - a.y) / (b.x - a.x);
    for (int cx = c0; cx <= c1; ++cx) {
        // The segment's y over this column widened by the margin on every side.
        float y0 = a.y, y1 = b.y;
        if (!vertical) {
            const float sx0 = std::max(x0, grid.minX + grid.cell * cx - m);
            const float sx1 = std::min(x1, grid.minX + grid.cell * (cx + 1) + m);
            y0 = a.y + (sx0 - a.x) * slope, y1 = a.y + (sx1 - a.x) * slope;
        }
        int r0 = 0, r1 = grid.ny - 1;
        if (std::isfinite(y0) && std::isfinite(y1)) {
            r0 = std::max(0, grid.CellY(std::min(y0, y1) - m));
            r1 = std::min(grid.ny - 1, grid.CellY(std::max(y0, y1) + m));
        }
        for (int cy = r0; cy <= r1; ++cy) {
            const size_t c = size_t(cy) * grid.nx + cx;
            for (uint32_t i = mEdgeCells.start[c]; i < mEdgeCells.start[c + 1]; ++i) {
                const int e = mEdgeCells.items[i];
                if (mEdgeSeen[size_t(e)] == mQuery)
                    continue;
                mEdgeSeen[size_t(e)] = mQuery;
                const tEdgeBox& box = mEdgeBoxes[size_t(e)];
                if (box.x0 > x1 || box.x1 < x0 || box.y0 > sy1 || box.y1 < sy0)
                    continue;
                const float sideA = d.Cross(box.a - a), sideB = d.Cross(box.b - a);
                if ((sideA > reach && sideB > reach) || (sideA < -reach && sideB < -reach))
                    continue;
                if (test(e))
                    return true;
            }
        }
    }
    return false;
}
