// Point, label and region queries of a loaded walk mesh, and the graph they keep.

#include <gtest/gtest.h>

#include <cmath>

#include "game/world/mesh_fixture.h"

namespace {

using V = tVector2<float>;

// Two 100 x 100 rooms joined by a corridor triangle pair labelled "bridge"; the right room's
// far corner is labelled "exit".
const char* kRooms = R"(
vertex 250 50 exit
poly 0,0 100,0 100,40 100,60 100,100 0,100 label=west
tri 100,40 150,40 100,60 label=bridge
tri 150,40 150,60 100,60 label=bridge
poly 150,0 250,0 250,100 150,100 150,60 150,40 label=east
)";

TEST(MeshQuery, PointOnASharedEdgeIsInTheLowerTriangle)
{
    const tMesh mesh = LoadMesh("tri 0,0 10,0 0,10\ntri 10,0 10,10 0,10\n");
    const struct
    {
        V p;
        int poly;
    } cases[] = {{{5, 5}, 0}, {{2, 2}, 0}, {{8, 8}, 1}, {{10, 0}, 0}, {{10, 10}, 1}, {{11, 5}, -1}, {{-0.5f, 2}, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(mesh.PolyCollide(c.p), c.poly) << c.p.x << "," << c.p.y;
        EXPECT_EQ(mesh.PolyCollideLinear(c.p), c.poly) << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(mesh.PolyCollide(1, V(2, 2)), -1);
    EXPECT_EQ(mesh.PolyCollide(1, V(8, 8)), 1);
    EXPECT_EQ(mesh.PolyCollide(7, V(8, 8)), -1);
}

TEST(MeshQuery, ClosestPoints)
{
    const tMesh mesh = LoadMesh("tri 0,0 10,0 0,10\ntri 10,0 10,10 0,10\n");
    const struct
    {
        V p, expected;
    } cases[] = {{{5, 5}, {5, 5}}, {{5, -4}, {5, 0}}, {{20, 5}, {10, 5}}, {{-3, -3}, {0, 0}}, {{12, 12}, {10, 10}}};
    for (const auto& c : cases)
        EXPECT_EQ(mesh.ClosestPointToMesh(c.p), c.expected) << c.p.x << "," << c.p.y;
    EXPECT_EQ(mesh.ClosestPointToOrInPoly(0, V(8, 8)), V(5, 5));
    EXPECT_EQ(LoadMesh("vertex 1 1").ClosestPointToMesh(V(3, 3)), V());
}

TEST(MeshQuery, DisablingTheBridgeCutsTheLinksAndKeepsTargetsOnTheWalkersSide)
{
    tMesh mesh = LoadMesh(kRooms);
    auto linked = [&](V a, V b) {
        int va = -1, vb = -1;
        for (size_t i = 0; i < mesh.Vertices().size(); ++i) {
            if (mesh.Vertices()[i] == a)
                va = int(i);
            if (mesh.Vertices()[i] == b)
                vb = int(i);
        }
        const auto& na = mesh.Walknodes().at(va);
        return na.Sees(mesh.Walknodes().at(vb).number);
    };
    const V west(50, 50), east(200, 50);
    EXPECT_TRUE(linked(V(100, 40), V(150, 40)));
    EXPECT_TRUE(linked(V(100, 60), V(150, 60)));
    EXPECT_EQ(mesh.ClosestPointToMeshFromPoint(east, west), east);

    mesh.SetPolyState("bridge", false);
    for (int i : {4, 5})
        EXPECT_FALSE(mesh.Polys()[size_t(i)].enabled) << i;
    EXPECT_TRUE(mesh.Polys()[3].enabled);
    EXPECT_FALSE(linked(V(100, 40), V(150, 40)));
    EXPECT_FALSE(linked(V(100, 60), V(150, 60)));
    EXPECT_FALSE(linked(V(100, 40), V(150, 60)));
    EXPECT_EQ(mesh.PolyCollide(V(125, 50)), -1);
    EXPECT_EQ(mesh.ClosestPointToMeshFromPoint(east, west), V(100, 50));
    EXPECT_EQ(mesh.ClosestPointToMeshFromPoint(west, V(400, 50)), V(150, 50));  // from outside: nearest part

    mesh.SetPolyState("bridge", true);
    EXPECT_TRUE(linked(V(100, 40), V(150, 40)));
    EXPECT_EQ(mesh.ClosestPointToMeshFromPoint(east, west), east);
}

TEST(MeshQuery, BoundaryEdgesAndWalkNodes)
{
    const tMesh mesh = LoadMesh(kRooms);
    for (const tEdge& e : mesh.Edges())
        EXPECT_LT(e.a, e.b);
    int number = 2;
    for (const auto& [vertex, node] : mesh.Walknodes()) {
        EXPECT_EQ(node.number, number++);
        EXPECT_EQ(node.vertex, vertex);
        EXPECT_FALSE(node.Sees(node.number));
    }
    // The labelled vertex (index 0) lies on no polygon: no walk node.
    EXPECT_EQ(mesh.Walknodes().count(0), 0u);
    EXPECT_EQ(int(mesh.Walknodes().size()) + 2, number);
    // Found by position: every node's own, a negative zero as zero; nothing elsewhere.
    for (const auto& [vertex, node] : mesh.Walknodes())
        EXPECT_EQ(mesh.WalknodeAt(mesh.GetVertex(vertex)), node.number);
    EXPECT_EQ(mesh.WalknodeAt(V(-0.0f, 100)), mesh.WalknodeAt(V(0, 100)));
    EXPECT_GE(mesh.WalknodeAt(V(0, 100)), 2);
    for (const V& p : {V(250, 50), V(50, 50), V(0, 100.001f), V(NAN, 0)})
        EXPECT_EQ(mesh.WalknodeAt(p), -1) << p.x << "," << p.y;
}

TEST(MeshQuery, LabelsKnownAndUnknown)
{
    tMesh mesh = LoadMesh(kRooms);
    V p(-1, -1);
    EXPECT_TRUE(mesh.LookupVertByLabel("exit", &p));
    EXPECT_EQ(p, V(250, 50));
    EXPECT_TRUE(mesh.VertExists("exit"));
    p = V(-1, -1);
    EXPECT_FALSE(mesh.LookupVertByLabel("nowhere", &p));
    EXPECT_EQ(p, V(-1, -1));
    EXPECT_EQ(mesh.LookupVertByLabel("nowhere"), V());
    EXPECT_FALSE(mesh.VertExists("nowhere"));
    EXPECT_EQ(*mesh.LookupPolyLabelByIndex(4), str("bridge"));
    for (int bad : {-1, 10, 1000})
        EXPECT_FALSE(mesh.LookupPolyLabelByIndex(bad)) << bad;
    const size_t edges = mesh.Edges().size();
    mesh.SetPolyState("nowhere", false);
    mesh.SetPolyState("west", true);  // already so
    EXPECT_EQ(mesh.Edges().size(), edges);
    for (const tPoly& poly : mesh.Polys())
        EXPECT_TRUE(poly.enabled);
}

TEST(MeshQuery, OffsetAndScaleMapBetweenSpaces)
{
    tMesh mesh = LoadMesh("vertex 10 20 hand\ntri 0,0 10,0 0,10\n");
    mesh.AssignOffset(V(-5, -10));
    mesh.AssignScale(V(2, 3));
    EXPECT_EQ(mesh.ConvertInnerSpaceToOuterSpace(V(10, 20)), V(10, 30));
    EXPECT_EQ(mesh.ConvertOuterSpaceToInnerSpace(V(10, 30)), V(10, 20));
    EXPECT_EQ(mesh.LookupVertByLabel("hand"), V(10, 30));
    // Inner (1, 1) is outer (-8, -27).
    EXPECT_EQ(mesh.PolyCollide(V(-8, -27)), 0);
    EXPECT_EQ(mesh.PolyCollide(V(1, 1)), -1);
    EXPECT_EQ(mesh.GetVertex(1), V(0, 0));
    EXPECT_EQ(mesh.GetVertex(99), V());
}

TEST(MeshQuery, TooManyNeighboursAreDropped)
{
    // Four triangles on one edge: the first gets three neighbours and logs for the fourth.
    const tMesh mesh = LoadMesh("tri 0,0 10,0 5,5\ntri 0,0 10,0 5,-5\ntri 0,0 10,0 5,8\ntri 0,0 10,0 5,-8\n");
    EXPECT_EQ(mesh.Polys()[0].adjacency[0], 1);
    EXPECT_EQ(mesh.Polys()[0].adjacency[1], 2);
    EXPECT_EQ(mesh.Polys()[0].adjacency[2], 3);
    EXPECT_EQ(mesh.Polys()[3].adjacency[2], 2);
}

}  // namespace

namespace {

TEST(MeshQuery, TravelMayFollowWallsButNotLeaveTheMeshBetweenCorners)
{
    // A room with a notch cut into it from the edge y = 100 (x 40..60, in to y 30).
    const tMesh mesh = LoadMesh("poly 0,0 100,0 100,100 60,100 60,30 40,30 40,100 0,100\n");
    const struct
    {
        const char* what;
        V from, to;
        bool valid;
    } cases[] = {
        {"across the room", {10, 10}, {90, 10}, true},
        {"along a wall", {0, 0}, {100, 0}, true},
        {"along a wall through its corners", {0, 100}, {40, 100}, true},
        {"across the notch's mouth, corner to corner", {40, 100}, {60, 100}, false},
        {"across the mouth with its midpoint on the far wall", {40, 100}, {100, 100}, false},
        {"the same from inside the room", {20, 100}, {100, 100}, false},
        {"along the bottom through both notch corners", {0, 100}, {100, 100}, false},
        {"into the notch", {20, 50}, {80, 50}, false},
        {"round the notch's inner corner", {40, 30}, {60, 30}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mesh.IsValidTravel(c.from, c.to), c.valid) << c.what;
        EXPECT_EQ(mesh.IsValidTravelLinear(c.from, c.to), c.valid) << c.what;
    }
}

}  // namespace
