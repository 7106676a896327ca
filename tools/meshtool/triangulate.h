#pragma once
// Cuts a simple polygon (either winding, no repeated corners) into triangles by clipping ears.

#include <array>
#include <cstddef>
#include <vector>

struct TPoint2i
{
    long long x, y;
};

// Indices into `corners`; false when the polygon is not simple or has no area.
bool Triangulate(const std::vector<TPoint2i>& corners, std::vector<std::array<int, 3>>* triangles);
