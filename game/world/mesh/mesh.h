#pragma once
// A walk mesh: where characters may stand in a scene. Triangles over labelled vertices, read
// from a ".dverts" and a ".dmesh" file; it keeps the polygon adjacency, the outer boundary
// edges and a visibility graph of the boundary vertices (walk nodes) for the path search, and
// can switch labelled groups of triangles on and off.
//   tMesh ground;
//   if (ground.LoadVertlist("garden.dverts") || ground.LoadPolylist("garden.dmesh")) fail();
//   int poly = ground.PolyCollide(click);
//   ground.SetPolyState("gate", true);
// A failed load leaves no polygons, edges or walk nodes, so every query answers "outside".

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

#include "core/text/str.h"
#include "game/script/class_info.h"
#include "game/world/geometry/vector2.h"
#include "game/world/mesh/mesh_index.h"
#include "game/world/mesh/poly.h"

// A script-visible object of class "tMesh": the scene's ground is the "mesh" of the scene's
// object, and Factory("tMesh") makes an empty one.
class tMesh : public baseObj
{
public:
    static tClassInfo civ;
    static baseObj* Factory();

    struct tWalknode
    {
        int number = 0;  // 2, 3, ... in ascending vertex index; 0 and 1 are a search's ends
        int vertex = -1;
        std::vector<int> links;        // numbers of the walk nodes in plain view, ascending
        std::vector<float> distances;  // to each of them

        bool Sees(int other) const { return std::binary_search(links.begin(), links.end(), other); }
    };

    tMesh() { mClassInfo = &civ; }
    ~tMesh() override = default;
    // Copies the mesh, not its script object.
    tMesh(const tMesh&) = default;
    tMesh& operator=(const tMesh&) = default;

    // 0 on success, 1 on failure (logged).
    int LoadVertlist(const str& path);
    int LoadPolylist(const str& path);
    void Dump();

    // --- spaces ---
    void AssignOffset(const tVector2<float>& offset) { mOffset = offset, Changed(); }
    void AssignScale(const tVector2<float>& scale) { mScale = scale, Changed(); }
    const tVector2<float>& GetOffset() const { return mOffset; }
    const tVector2<float>& GetScale() const { return mScale; }
    tVector2<float> ConvertOuterSpaceToInnerSpace(const tVector2<float>& p) const;
    tVector2<float> ConvertInnerSpaceToOuterSpace(const tVector2<float>& p) const;
    tVector2<float> ConvertVertToOuterSpace(int index) const;

    // --- queries ---
    int PolyCollide(const tVector2<float>& point) const;
    int PolyCollide(int index, const tVector2<float>& point) const;
    tVector2<float> ClosestPointToOrInPoly(int index, const tVector2<float>& point) const;
    tVector2<float> ClosestPointToMesh(const tVector2<float>& point) const;
    tVector2<float> ClosestPointToMeshFromPoint(const tVector2<float>& point, const tVector2<float>& from) const;
    void ComputeReachablePolys(int start, std::vector<bool>* seen) const;
    // No boundary edge crossed and the way on the mesh: its midpoint, and where it passes
    // boundary corners, the midpoint of every piece between them.
    bool IsValidTravel(const tVector2<float>& from, const tVector2<float>& to) const;
    bool TestEdgeCrossings(const tVector2<float>& from, const tVector2<float>& to) const;
    bool TestEdgeIntersections(const tVector2<float>& from, const tVector2<float>& to) const;
    // The same answers by scanning every polygon and edge: the reference for the indexed ones.
    int PolyCollideLinear(const tVector2<float>& point) const;
    bool TestEdgeCrossingsLinear(const tVector2<float>& from, const tVector2<float>& to) const;
    bool IsValidTravelLinear(const tVector2<float>& from, const tVector2<float>& to) const;

    tVector2<float> GetVertex(int index) const;
    bool IsValidVertIndex(int index) const { return index >= 0 && size_t(index) < m_Vertlist.size(); }
    bool IsValidPolyIndex(int index) const { return index >= 0 && size_t(index) < mPolys.size(); }
    bool LookupVertByLabel(const str& label, tVector2<float>* point) const;
    tVector2<float> LookupVertByLabel(const str& label) const;
    bool VertExists(const str& label) const;
    std::optional<str> LookupPolyLabelByIndex(int index) const;

    void SetPolyState(const str& label, bool enabled);

    // Numbers of the walk nodes to which IsValidTravel(point, node's vertex) holds, ascending.
    // `scan` computes every answer afresh with the scans (the reference); otherwise the
    // answers come from SeesWalknode.
    void VisibleWalknodes(const tVector2<float>& point, std::vector<int>* numbers, bool scan = false) const;
    // Whether IsValidTravel(point, the vertex of walk node `number`) holds. Answers for a walk
    // node's own vertex come from the graph; others are worked out when first asked and kept,
    // for the last two points asked about, until the mesh changes.
    bool SeesWalknode(const tVector2<float>& point, int number) const;
    // The answers kept for `point` so far, by walk-node number - 2: 1, 0, or -1 not yet known.
    const std::vector<int8_t>& KnownWalknodeAnswers(const tVector2<float>& point) const
    {
        return VisibleFrom(point).sees;
    }

    // Differs from every other mesh's and from every earlier state of this one, so a
    // search's result can be kept for as long as the mesh answers with the same number.
    uint64_t Generation() const { return mGeneration; }

    // --- derived tables ---
    void ComputeAdjacencies();
    void ComputeCenters();
    void ComputeEdges();
    void ComputeWalknodeGraph();

    // The debug overlay at outer position + origin: triangles magenta (blue when disabled),
    // labelled vertices as green squares. Defined in game/world/overlay.
    void Draw(const tVector2<float>& origin) const;

    // --- script access: "SetPolyState", "PolyCollide", "LookupPolyLabelByIndex",
    // "LookupVertByLabel", "VertExists" on the table on top of the stack ---
    static void LuaAdd(dfLua& lua);

    // --- contents ---
    str name;  // the owning actor's name for a zone mesh
    const std::vector<tVector2<float>>& Vertices() const { return m_Vertlist; }
    const std::map<str, int>& VertLabels() const { return mVertLabels; }
    const std::vector<tPoly>& Polys() const { return mPolys; }
    const std::vector<str>& PolyLabels() const { return mPolyLabels; }
    const std::vector<tEdge>& Edges() const { return mEdges; }
    const std::map<int, tWalknode>& Walknodes() const { return mWalknodes; }
    // The walk nodes' vertices by number - 2.
    const std::vector<tVector2<float>>& WalknodePositions() const { return mWalknodePositions; }
    int WalknodeVertex(int number) const { return mWalknodeVertices[size_t(number - 2)]; }
    // The number of the first walk node standing at `point`; -1 when none does.
    int WalknodeAt(const tVector2<float>& point) const;

private:
    int LuaSetPolyState(dfLua& lua);
    int LuaPolyCollide(dfLua& lua);
    int LuaLookupPolyLabelByIndex(dfLua& lua);
    int LuaLookupVertByLabel(dfLua& lua);
    int LuaVertExists(dfLua& lua);
    void ClearPolygons();
    // Inner-space tests behind the public ones.
    int FirstPolyContaining(const tVector2<float>& inner) const;
    int ScanPolys(const tVector2<float>& inner) const;
    // Nearest point to `point` over the marked polygons; the lowest index wins ties.
    tVector2<float> ClosestPointAmong(const tVector2<float>& point, const std::vector<bool>& polys) const;
    using tSegmentTest = bool (*)(const tVector2<float>&, const tVector2<float>&, const tVector2<float>&,
                                  const tVector2<float>&);
    bool ScanEdges(const tVector2<float>& from, const tVector2<float>& to, tSegmentTest test) const;
    // Some boundary edge properly crossed; else the parameters of the boundary corners on the
    // segment go to `corners` (when given). `scan`: every edge, not the index.
    bool CrossesBoundary(const tVector2<float>& a, const tVector2<float>& b, std::vector<float>* corners,
                         bool scan) const;
    bool Travel(const tVector2<float>& from, const tVector2<float>& to, bool scan) const;

    tVector2<float> mOffset{0, 0};
    tVector2<float> mScale{1, 1};
    std::vector<tVector2<float>> m_Vertlist;
    std::map<str, int> mVertLabels;
    std::vector<tPoly> mPolys;
    std::vector<str> mPolyLabels;
    std::vector<tEdge> mEdges;
    std::map<int, tWalknode> mWalknodes;
    tMeshIndex mIndex;
    // Changes with everything a visibility answer depends on.
    void Changed();
    uint64_t mGeneration = 0;
    struct tVisibleCache
    {
        uint64_t generation = ~uint64_t(0);
        tVector2<float> point;
        std::vector<int8_t> sees;  // by walk-node number - 2: 1, 0, or -1 not yet known
    };
    tVisibleCache& VisibleFrom(const tVector2<float>& point) const;
    std::vector<int> mWalknodeVertices;  // by walk-node number - 2
    std::vector<tVector2<float>> mWalknodePositions;
    std::unordered_map<uint64_t, int> mWalknodeAt;  // by PositionKey
    mutable tVisibleCache mVisibleCache[2];
    mutable int mVisibleOlder = 0;
};
