#include "tools/meshtool/triangulate.h"

#include <cstddef>

namespace {

long long Cross(const TPoint2i& o, const TPoint2i& a, const TPoint2i& b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// p inside or on triangle abc of winding `sign`.
bool InTriangle(const TPoint2i& p, const TPoint2i& a, const TPoint2i& b, const TPoint2i& c, long long sign)
{
    return Cross(a, b, p) * sign >= 0 && Cross(b, c, p) * sign >= 0 && Cross(c, a, p) * sign >= 0;
}

}  // namespace

bool Triangulate(const std::vector<TPoint2i>& corners, std::vector<std::array<int, 3>>* triangles)
{
    const size_t n = corners.size();
    if (n < 3)
        return false;
    long long area = 0;
    for (size_t i = 0; i < n; ++i)
        area += corners[i].x * corners[(i + 1) % n].y - corners[(i + 1) % n].x * corners[i].y;
    if (area == 0)
        return false;
    const long long sign = area > 0 ? 1 : -1;
    std::vector<int> ring;
    for (size_t i = 0; i < n; ++i)
        ring.push_back(int(i));
    while (ring.size() > 3) {
        bool clipped = false;
        for (size_t i = 0; i < ring.size() && !clipped; ++i) {
            const int ia = ring[(i + ring.size() - 1) % ring.size()], ib = ring[i], ic = ring[(i + 1) % ring.size()];
            const TPoint2i &a = corners[size_t(ia)], &b = corners[size_t(ib)], &c = corners[size_t(ic)];
            if (Cross(a, b, c) * sign <= 0)
                continue;  // reflex or flat corner
            bool empty = true;
            for (int other : ring) {
                if (other == ia || other == ib || other == ic)
                    continue;
                const TPoint2i& p = corners[size_t(other)];
                if ((p.x == a.x && p.y == a.y) || (p.x == b.x && p.y == b.y) || (p.x == c.x && p.y == c.y))
                    continue;
                if (InTriangle(p, a, b, c, sign)) {
                    empty = false;
                    break;
                }
            }
            if (!empty)
                continue;
            triangles->push_back({ia, ib, ic});
            ring.erase(ring.begin() + long(i));
            clipped = true;
        }
        if (!clipped)
            return false;
    }
    if (Cross(corners[size_t(ring[0])], corners[size_t(ring[1])], corners[size_t(ring[2])]) == 0)
        return false;
    triangles->push_back({ring[0], ring[1], ring[2]});
    return true;
}
