// Input: a 16-bit length n (little-endian), n bytes of ".dverts", the rest ".dmesh". Both go
// through the game's loaders; on success a labelled region is switched off and on, and the
// path search runs between points taken from the vertex list.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/files/file.h"
#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t split = size_t(data[0] | (data[1] << 8));
    data += 2, size -= 2;
    if (split > size)
        split = size;
    // Copies, so that a read past either part is caught.
    static std::vector<uint8_t> verts, mesh;
    verts.assign(data, data + split);
    mesh.assign(data + split, data + size);
    verts.reserve(1), mesh.reserve(1);
    TFile::AddMemoryFile("fuzz.dverts", verts.data(), unsigned(verts.size()));
    TFile::AddMemoryFile("fuzz.dmesh", mesh.data(), unsigned(mesh.size()));

    tMesh walk;
    if (walk.LoadVertlist("fuzz.dverts") != 0 || walk.LoadPolylist("fuzz.dmesh") != 0)
        return 0;
    if (!walk.PolyLabels().empty()) {
        walk.SetPolyState(walk.PolyLabels()[0], false);
        walk.SetPolyState(walk.PolyLabels()[0], true);
    }
    const auto& v = walk.Vertices();
    if (v.size() >= 2) {
        const tVector2<float> from = (v[0] + v[1]) / 2.0f, to = v[v.size() - 1] + tVector2<float>(0.5f, 0.25f);
        tVector2<float> next;
        ComputePathToTargetB(walk, from, to, 0, &next);
        std::vector<tVector2<float>> route;
        WalkRoute(walk, from, to, &route);
        walk.ClosestPointToMeshFromPoint(to, from);
        walk.PolyCollide(to);
    }
    return 0;
}
