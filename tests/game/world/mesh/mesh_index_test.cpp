// The grid index must answer exactly what a scan of every polygon and edge answers: random
// meshes with holes, slivers and degenerate triangles, probed at random points, on vertices
// and edges, and along segments between them.

#include <gtest/gtest.h>

#include "game/world/mesh_fixture.h"

namespace {

using V = tVector2<float>;

void ExpectIndexMatchesScan(const tMesh& mesh, std::mt19937& random, const std::string& what)
{
    std::uniform_real_distribution<float> coord(-100, 1600);
    std::vector<V> probes;
    for (int i = 0; i < 400; ++i)
        probes.emplace_back(coord(random), coord(random));
    for (const V& v : mesh.Vertices())
        probes.push_back(v);
    for (const tEdge& e : mesh.Edges())
        probes.push_back(lerp(mesh.GetVertex(e.a), mesh.GetVertex(e.b), 0.37f));
    for (const V& p : probes)
        ASSERT_EQ(mesh.PolyCollide(p), mesh.PolyCollideLinear(p)) << what << " at " << p.x << "," << p.y;
    for (int i = 0; i < 3000; ++i) {
        const V& a = probes[random() % probes.size()];
        const V& b = probes[random() % probes.size()];
        ASSERT_EQ(mesh.TestEdgeCrossings(a, b), mesh.TestEdgeCrossingsLinear(a, b))
            << what << " from " << a.x << "," << a.y << " to " << b.x << "," << b.y;
        ASSERT_EQ(mesh.IsValidTravel(a, b), mesh.IsValidTravelLinear(a, b))
            << what << " from " << a.x << "," << a.y << " to " << b.x << "," << b.y;
    }
    // Adjacency, as a scan of every pair of polygons fills the slots.
    std::vector<tPoly> expected = mesh.Polys();
    for (tPoly& poly : expected)
        for (int& slot : poly.adjacency)
            slot = -1;
    for (size_t i = 0; i < expected.size(); ++i)
        for (size_t j = i + 1; j < expected.size(); ++j)
            if (expected[i].enabled && expected[j].enabled && expected[i].IsAdjacentToPoly(expected[j])) {
                expected[i].AddAdjacency(int(j));
                expected[j].AddAdjacency(int(i));
            }
    for (size_t i = 0; i < expected.size(); ++i)
        for (int k = 0; k < tPoly::POINTS; ++k)
            ASSERT_EQ(mesh.Polys()[i].adjacency[k], expected[i].adjacency[k]) << what << " polygon " << i;
    // The graph, as the scans would build it, with the lengths of its links.
    for (const auto& [va, na] : mesh.Walknodes()) {
        for (const auto& [vb, nb] : mesh.Walknodes()) {
            if (vb <= va)
                continue;
            const V a = mesh.GetVertex(va), b = mesh.GetVertex(vb);
            const bool visible = mesh.IsValidTravelLinear(a, b);
            ASSERT_EQ(na.Sees(nb.number), visible) << what << " nodes " << va << " " << vb;
            ASSERT_EQ(nb.Sees(na.number), visible) << what << " nodes " << vb << " " << va;
            if (!visible)
                continue;
            const auto at = std::lower_bound(na.links.begin(), na.links.end(), nb.number) - na.links.begin();
            ASSERT_EQ(na.distances.at(size_t(at)), V::Distance(a, b)) << what << " nodes " << va << " " << vb;
        }
    }
}

TEST(MeshIndex, AnswersExactlyAsTheScans)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 12; ++round) {
        const TMeshSource source = RandomSource(random, 3 + round);
        const std::string base = "random" + std::to_string(round);
        ServeBytes(base + ".dverts", EncodeVertFile(source));
        ServeBytes(base + ".dmesh", EncodeMeshFile(source));
        tMesh mesh;
        ASSERT_EQ(mesh.LoadVertlist(str((base + ".dverts").c_str())), 0);
        ASSERT_EQ(mesh.LoadPolylist(str((base + ".dmesh").c_str())), 0);
        ExpectIndexMatchesScan(mesh, random, base);
        mesh.SetPolyState("door", false);
        ExpectIndexMatchesScan(mesh, random, base + " with the doors shut");
    }
}

TEST(MeshIndex, PointsFarAwayOrNotFinite)
{
    const tMesh mesh = LoadMesh("tri 0,0 10,0 0,10\ntri 20,20 30,20 20,30\n");
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    for (const V& p : {V(1e30f, 5), V(-1e30f, -1e30f), V(inf, 0), V(nan, 1), V(1, 1), V(500, 500)})
        EXPECT_EQ(mesh.PolyCollide(p), mesh.PolyCollideLinear(p)) << p.x << "," << p.y;
    for (const V& p : {V(1e30f, 5), V(inf, 0), V(nan, 1), V(-5, 3)})
        EXPECT_EQ(mesh.TestEdgeCrossings(p, V(3, 3)), mesh.TestEdgeCrossingsLinear(p, V(3, 3))) << p.x;
}

}  // namespace
