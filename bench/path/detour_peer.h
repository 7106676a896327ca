#pragma once
// The same triangles as a Detour navigation mesh (one tile, three vertices per polygon), and
// its query: nearest polygons, findPath, findStraightPath.

#include <memory>
#include <vector>

#include "game/world/geometry/vector2.h"
#include "tools/meshtool/mesh_source.h"

class TDetourPeer
{
public:
    TDetourPeer();
    ~TDetourPeer();
    // False when Detour refuses the mesh.
    bool Build(const TMeshSource& mesh);
    // The straight route from `from` to `to` into *route; false when there is none.
    bool Route(const tVector2<float>& from, const tVector2<float>& to, std::vector<tVector2<float>>* route);

private:
    struct TData;
    std::unique_ptr<TData> mData;
};
