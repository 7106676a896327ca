#include "game/world/mesh/mesh_index.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kEdgeCellScale = 3;

struct tBox
{
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    void Add(double x, double y)
    {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
    void Grow(double m) { x0 -= m, y0 -= m, x1 += m, y1 += m; }
};

// The region the point-in-triangle test accepts is the triangle with each side pushed out by
// 0.02 of its cross product; the box of that larger triangle. False for a triangle the test
// treats as degenerate (some corner on the line of the opposite side).
bool AcceptedBox(const tVector2<float> (&v)[3], tBox* box)
{
    // Side i runs from v[i+1] to v[i+2]; a point p passes it when s * cross(p) >= -0.02, where
    // s is the sign of the opposite corner's cross product.
    double nx[3], ny[3], k[3];
    for (int i = 0; i < 3; ++i) {
        const tVector2<float>& s = v[(i + 1) % 3];
        const tVector2<float>& e = v[(i + 2) % 3];
        const float opposite = (e - s).Cross(v[i] - s);
        if (opposite == 0)
            return false;
        const double sign = opposite > 0 ? 1 : -1;
        // cross(p) = (e - s) x (p - s) = dx * (py - sy) - dy * (px - sx)
        const double dx = double(e.x) - s.x, dy = double(e.y) - s.y;
        nx[i] = -dy * sign, ny[i] = dx * sign;
        k[i] = (dy * s.x - dx * s.y) * sign + 0.02;  // n . p + k >= 0
    }
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const double det = nx[i] * ny[j] - ny[i] * nx[j];
        if (det == 0)
            return false;
        box->Add((-k[i] * ny[j] + ny[i] * k[j]) / det, (-nx[i] * k[j] + k[i] * nx[j]) / det);
    }
    return std::isfinite(box->x0) && std::isfinite(box->y0) && std::isfinite(box->x1) && std::isfinite(box->y1);
}

}  // namespace

struct tMeshIndex::tBoxedItem
{
    int item;
    double x0, y0, x1, y1;
};

void tMeshIndex::Spread(const tGrid& grid, const std::vector<tBoxedItem>& boxes, tCells* cells)
{
    std::vector<std::vector<int>> lists(size_t(grid.nx) * grid.ny);
    for (const tBoxedItem& box : boxes) {
        const int cx0 = std::max(0, grid.CellX(float(box.x0))), cx1 = std::min(grid.nx - 1, grid.CellX(float(box.x1)));
        const int cy0 = std::max(0, grid.CellY(float(box.y0))), cy1 = std::min(grid.ny - 1, grid.CellY(float(box.y1)));
        for (int cy = cy0; cy <= cy1; ++cy)
            for (int cx = cx0; cx <= cx1; ++cx)
                lists[size_t(cy) * grid.nx + cx].push_back(box.item);
    }
    Fill(cells, lists);
}

void tMeshIndex::Fill(tCells* cells, const std::vector<std::vector<int>>& lists)
{
    cells->start.assign(lists.size() + 1, 0);
    size_t total = 0;
    for (size_t c = 0; c < lists.size(); ++c) {
        cells->start[c] = uint32_t(total);
        total += lists[c].size();
    }
    cells->start[lists.size()] = uint32_t(total);
    cells->items.clear();
    cells->items.reserve(total);
    for (const auto& list : lists)
        cells->items.insert(cells->items.end(), list.begin(), list.end());
}

void tMeshIndex::Build(const std::vector<tVector2<float>>& verts, const std::vector<tPoly>& polys,
                       const std::vector<tEdge>& edges)
{
    Clear();
    mEdgeCount = int(edges.size());
    std::vector<std::pair<int, tBox>> polyBoxes;
    tBox all;
    double largest = 1;
    for (const tVector2<float>& v : verts)
        largest = std::max({largest, double(std::fabs(v.x)), double(std::fabs(v.y))});
    // Wide enough for the float rounding of the tests at these coordinates.
    mMargin = float(0.5 + largest * 1e-4);
    for (size_t i = 0; i < polys.size(); ++i) {
        const tPoly& poly = polys[i];
        if (!poly.enabled)
            continue;
        mAllPolys.push_back(int(i));
        const tVector2<float> v[3] = {verts[poly.points[0]], verts[poly.points[1]], verts[poly.points[2]]};
        tBox box;
        if (!AcceptedBox(v, &box)) {
            mEverywhere.push_back(int(i));
            continue;
        }
        box.Grow(mMargin);
        all.Add(box.x0, box.y0), all.Add(box.x1, box.y1);
        polyBoxes.emplace_back(int(i), box);
    }
    std::vector<tBox> edgeBoxes;
    for (const tEdge& e : edges) {
        tBox box;
        box.Add(verts[e.a].x, verts[e.a].y), box.Add(verts[e.b].x, verts[e.b].y);
        box.Grow(mMargin);
        all.Add(box.x0, box.y0), all.Add(box.x1, box.y1);
        edgeBoxes.push_back(box);
        // Rounded outwards, so that the float box holds the double one.
        mEdgeBoxes.push_back({std::nextafter(float(box.x0), -INFINITY), std::nextafter(float(box.y0), -INFINITY),
                              std::nextafter(float(box.x1), INFINITY), std::nextafter(float(box.y1), INFINITY),
                              verts[e.a], verts[e.b]});
    }
    mEdgeSeen.assign(edges.size(), 0);
    if (polyBoxes.empty() && edgeBoxes.empty()) {
        mBuilt = true;
        return;
    }
    // About one cell per polygon and edge for the polygons, at most 256 on a side; the edges'
    // cells are several times larger.
    const double w = all.x1 - all.x0, h = all.y1 - all.y0;
    const double wanted = 1.0 * double(polyBoxes.size() + edgeBoxes.size());
    double cell = std::sqrt(std::max(w * h, 1.0) / wanted);
    cell = std::max({cell, w / 256, h / 256, 1e-3});
    auto grid = [&](double size) {
        tGrid g;
        g.cell = float(size);
        g.minX = float(all.x0), g.minY = float(all.y0);
        g.nx = std::max(1, int(std::ceil(w / size)) + 1);
        g.ny = std::max(1, int(std::ceil(h / size)) + 1);
        return g;
    };
    mPolyGrid = grid(cell);
    mEdgeGrid = grid(cell * kEdgeCellScale);
    std::vector<tBoxedItem> items;
    for (const auto& [item, box] : polyBoxes)
        items.push_back({item, box.x0, box.y0, box.x1, box.y1});
    Spread(mPolyGrid, items, &mPolyCells);
    items.clear();
    for (size_t i = 0; i < edgeBoxes.size(); ++i)
        items.push_back({int(i), edgeBoxes[i].x0, edgeBoxes[i].y0, edgeBoxes[i].x1, edgeBoxes[i].y1});
    Spread(mEdgeGrid, items, &mEdgeCells);
    mBuilt = true;
}
