// The walk-node search and the older corridor search.

#include "game/world/path/path_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "game/world/mesh_fixture.h"

namespace {

using V = tVector2<float>;
using Path = std::vector<V>;

// A 300 x 200 room holding a U-shaped block open to the left: arms at y 50..70 and 130..150
// from x 100 to 200, its base at x 180..200. Made of grid cells so that neighbours share whole
// edges; `topFirst` lists the cells from the top row down (so the top corners get the lower
// vertex numbers), else from the bottom up.
std::string URoom(bool topFirst)
{
    const int xs[] = {0, 100, 180, 200, 300};
    const int ys[] = {0, 50, 70, 130, 150, 200};
    auto blocked = [](int cx, int cy) {
        return ((cy == 1 || cy == 3) && (cx == 1 || cx == 2)) || (cy == 2 && cx == 2);
    };
    std::string text;
    for (int row = 0; row < 5; ++row) {
        const int cy = topFirst ? row : 4 - row;
        for (int cx = 0; cx < 4; ++cx) {
            if (blocked(cx, cy))
                continue;
            text += "poly " + std::to_string(xs[cx]) + "," + std::to_string(ys[cy]) + " " + std::to_string(xs[cx + 1]) +
                    "," + std::to_string(ys[cy]) + " " + std::to_string(xs[cx + 1]) + "," + std::to_string(ys[cy + 1]) +
                    " " + std::to_string(xs[cx]) + "," + std::to_string(ys[cy + 1]) + "\n";
        }
    }
    return text;
}

struct Search
{
    bool found;
    V next;
    Path path;
};

Search Find(const tMesh& mesh, V from, V to, uint32_t flags = 0)
{
    Search s;
    s.found = ComputePathToTarget(mesh, from, to, flags, &s.next);
    s.path = gPath;
    EXPECT_EQ(gTarget, to);
    return s;
}

TEST(PathSearch, WalkNodeSearchCases)
{
    const tMesh top = LoadMesh(URoom(true));
    const tMesh bottom = LoadMesh(URoom(false));
    const V inside(140, 100), behind(250, 100);
    const struct
    {
        const char* what;
        const tMesh& mesh;
        V from, to;
        uint32_t flags;
        bool found;
        V next;
        Path path;
    } cases[] = {
        {"in plain view", top, inside, {120, 90}, 0, true, {120, 90}, {{120, 90}, inside}},
        {"ignoring the mesh, through the block",
         top,
         inside,
         behind,
         AFLAG_IGNORE_GROUND_MESH,
         true,
         behind,
         {behind, inside}},
        {"out of the U and over the top arm (equal routes: lower nodes first)",
         top,
         inside,
         behind,
         0,
         true,
         {100, 70},
         {behind, {200, 50}, {100, 50}, {100, 70}, inside}},
        {"the same room numbered from the bottom goes under",
         bottom,
         inside,
         behind,
         0,
         true,
         {100, 130},
         {behind, {200, 150}, {100, 150}, {100, 130}, inside}},
        {"a target inside the block is seen by no node", top, inside, {190, 100}, 0, false, {190, 100}, {inside}},
        {"a target far off the mesh", top, inside, {1000, 1000}, 0, false, {1000, 1000}, {inside}},
    };
    for (const auto& c : cases) {
        const Search s = Find(c.mesh, c.from, c.to, c.flags);
        EXPECT_EQ(s.found, c.found) << c.what;
        EXPECT_EQ(s.next, c.next) << c.what << ": " << s.next.x << "," << s.next.y;
        EXPECT_EQ(s.path, c.path) << c.what;
    }
}

// A cost at or above 2^31, or no number at all, is never expanded: the search gives up cleanly
// and the walker heads for the final target.
TEST(PathSearch, CostsBeyondTheRangeFindNoRoute)
{
    const tMesh mesh = LoadMesh(URoom(true));
    const V inside(140, 100);
    const struct
    {
        const char* what;
        V from, to;
    } cases[] = {
        {"a start 2^31 away", {140 + 2147483648.0f, 100}, inside},
        {"a start far beyond", {-3e30f, 100}, inside},
        {"a target that is no number", inside, {std::nanf(""), 100}},
    };
    for (const auto& c : cases) {
        V next(-1, -1);
        EXPECT_FALSE(ComputePathToTarget(mesh, c.from, c.to, 0, &next)) << c.what;
        EXPECT_EQ(std::memcmp(&next, &c.to, sizeof next), 0) << c.what;
        EXPECT_EQ(gPath, Path{c.from}) << c.what;
    }
}

TEST(PathSearch, VisibilitySetsAndTheActorsWalk)
{
    const tMesh mesh = LoadMesh(URoom(true));
    std::vector<int> visible;
    mesh.VisibleWalknodes(V(140, 100), &visible);
    ASSERT_FALSE(visible.empty());
    // From inside the U only the U's inner corners and the open left side are in view.
    for (int number : visible) {
        for (const auto& [vertex, node] : mesh.Walknodes()) {
            if (node.number == number) {
                EXPECT_LE(mesh.GetVertex(vertex).x, 180) << vertex;
            }
        }
    }
    mesh.VisibleWalknodes(V(250, 100), &visible);
    EXPECT_FALSE(visible.empty());

    Path route;
    ASSERT_TRUE(WalkRoute(mesh, V(140, 100), V(250, 100), &route));
    EXPECT_EQ(route, (Path{{140, 100}, {100, 70}, {100, 50}, {200, 50}, {250, 100}}));
    EXPECT_FALSE(WalkRoute(mesh, V(140, 100), V(190, 100), &route));
}

// Three triangles bending round a corner: the straight line touches the boundary.
const char* kBend = R"(
tri 0,0 10,0 0,10
tri 10,0 10,10 0,10
tri 0,10 10,10 0,20
)";

TEST(PathSearch, CorridorSearchWhenOldSchool)
{
    const tMesh mesh = LoadMesh(kBend);
    OLD_SCHOOL = true;
    const Search bend = Find(mesh, V(2, 2), V(2, 18));
    const Search same = Find(mesh, V(2, 2), V(3, 3));
    const Search outside = Find(mesh, V(2, 2), V(30, 30));
    const Search ignoring = Find(mesh, V(2, 2), V(30, 30), AFLAG_IGNORE_GROUND_MESH);
    OLD_SCHOOL = false;

    const float w = 5 + (20.0f / 3 - 5) * 0.01f;
    EXPECT_TRUE(bend.found);
    EXPECT_FLOAT_EQ(bend.next.x, w);
    EXPECT_FLOAT_EQ(bend.next.y, w);
    ASSERT_EQ(bend.path.size(), 4u);
    EXPECT_EQ(bend.path[0], V(2, 18));
    EXPECT_EQ(bend.path[1], mesh.Polys()[2].centre);
    EXPECT_EQ(bend.path[3], V(2, 2));

    EXPECT_TRUE(same.found);
    EXPECT_EQ(same.next, V(3, 3));
    EXPECT_EQ(same.path, (Path{{3, 3}, {2, 2}}));
    EXPECT_FALSE(outside.found);
    EXPECT_EQ(outside.next, V(30, 30));
    EXPECT_TRUE(ignoring.found);

    // The walk-node search sees the target from the start: straight there.
    const Search modern = Find(mesh, V(2, 2), V(2, 18));
    EXPECT_TRUE(modern.found);
    EXPECT_EQ(modern.next, V(2, 18));
}

TEST(PathSearch, CostHelpers)
{
    const tMesh mesh = LoadMesh(kBend);
    EXPECT_FLOAT_EQ(ComputeH(mesh, 0, V(10.0f / 3, 10.0f / 3 + 5)), 5);
    EXPECT_FLOAT_EQ(ComputeG(mesh, 0, 1), tVector2<float>::Distance(mesh.Polys()[0].centre, mesh.Polys()[1].centre));
}

}  // namespace

namespace {

// The A* over the walk nodes in its plainest form: both visibility sets by scans of every polygon
// and edge, ordered sets, the open minimum by a scan in ascending number, each cost worked out
// afresh. Fills the route from the target back to the first waypoint; false when none.
bool PlainSearch(const tMesh& mesh, V start, V target, Path* route)
{
    struct Node
    {
        V position;
        int parent = -1;
        float f = 0, g = 0, h = 0;
        std::vector<int> links;
    };
    std::vector<Node> nodes(mesh.Walknodes().size() + 2);
    std::vector<int> seesTarget;
    mesh.VisibleWalknodes(start, &nodes[0].links, true);
    mesh.VisibleWalknodes(target, &seesTarget, true);
    nodes[0].position = start, nodes[1].position = target;
    for (const auto& [vertex, walknode] : mesh.Walknodes())
        nodes[size_t(walknode.number)].position = mesh.GetVertex(vertex),
        nodes[size_t(walknode.number)].links = walknode.links;
    for (Node& node : nodes)
        node.h = V::Distance(node.position, target);
    nodes[0].f = nodes[0].h, nodes[1].h = 0;
    std::set<int> open{0}, closed;
    for (;;) {
        int current = -1;
        float best = 2147483648.0f;
        for (int n : open)
            if (nodes[size_t(n)].f < best)
                best = nodes[size_t(n)].f, current = n;
        if (current < 0)
            return false;
        open.erase(current);
        closed.insert(current);
        if (current == 1)
            break;
        std::vector<int> offers = nodes[size_t(current)].links;
        if (std::binary_search(seesTarget.begin(), seesTarget.end(), current))
            offers.push_back(1);
        for (int n : offers) {
            Node& node = nodes[size_t(n)];
            const float g = V::Distance(node.position, nodes[size_t(current)].position) + nodes[size_t(current)].g;
            if (closed.count(n) || (open.count(n) && !(node.g > g)))
                continue;
            open.insert(n);
            node.g = g, node.f = g + node.h, node.parent = current;
        }
    }
    route->clear();
    for (int n = 1; n != 0; n = nodes[size_t(n)].parent)
        route->push_back(nodes[size_t(n)].position);
    return true;
}

// The search asking the mesh for visibility as it goes, with answers kept and derived from the
// graph, against the plain search given every answer beforehand by scans:
// searching as an actor does, from waypoints (walk-node vertices) towards a target asked for
// again and again, across doors opening and closing, on jittered meshes and on plain grids
// where equal costs abound.
TEST(PathSearch, SearchAskingAsItGoesFindsWhatTheScansFind)
{
    std::mt19937 random(77);
    std::uniform_real_distribution<float> coord(-20, 500);
    for (int round = 0; round < 12; ++round) {
        tMesh mesh = LoadSource(RandomSource(random, 4 + round % 8, round < 8 ? 4 : 0));
        const std::string base = "round " + std::to_string(round);
        for (int i = 0; i < 60; ++i) {
            if (i % 20 == 10)
                mesh.SetPolyState("door", i % 40 == 10);
            const V target = i % 3 ? V(coord(random), coord(random)) : mesh.GetVertex(int(random() % 20));
            for (int leg = 0; leg < 3; ++leg) {
                auto node = mesh.Walknodes().begin();
                std::advance(node, random() % std::max<size_t>(1, mesh.Walknodes().size()));
                const V start = leg == 0 || node == mesh.Walknodes().end() ? V(coord(random), coord(random))
                                                                           : mesh.GetVertex(node->first);
                ComputeB asking;
                asking.Initialize(mesh, start, target);
                Path plain;
                const bool found = asking.Process();
                ASSERT_EQ(found, PlainSearch(mesh, start, target, &plain)) << base << " " << i;
                if (found) {
                    Path a;
                    asking.AppendRoute(&a);
                    ASSERT_EQ(a, plain) << base << " " << i;
                    ASSERT_EQ(asking.FirstWaypoint(), plain.back());
                }
                // The kept answers, some asked by the search and the rest now, as the scans give them.
                for (const V& point : {start, target}) {
                    std::vector<int> kept, scans;
                    mesh.VisibleWalknodes(point, &kept);
                    mesh.VisibleWalknodes(point, &scans, true);
                    ASSERT_EQ(kept, scans) << base << " " << i;
                }
            }
        }
    }
}

double RouteLength(const Path& points)
{
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += V::Distance(points[i - 1], points[i]);
    return length;
}

// A walker that reaches the first waypoint goes on along the route it was given; once a door
// opens or closes, it is searched again.
TEST(PathSearch, FromAWaypointTheRouteGoesOnUntilTheMeshChanges)
{
    std::mt19937 random(91);
    std::uniform_real_distribution<float> coord(-20, 500);
    int goneOn = 0, changedCourse = 0;
    for (int round = 0; round < 10; ++round) {
        tMesh mesh = LoadSource(RandomSource(random, 6 + round % 6));
        const std::string base = "round " + std::to_string(round);
        bool doorOpen = true;
        for (int i = 0; i < 40; ++i) {
            const V from(coord(random), coord(random)), to(coord(random), coord(random));
            const Search first = Find(mesh, from, to);
            if (!first.found || first.path.size() < 4)
                continue;
            const bool change = i % 2;
            if (change)
                mesh.SetPolyState("door", doorOpen = !doorOpen);
            const V waypoint = first.next;
            const Search then = Find(mesh, waypoint, to);
            ComputeB fresh;
            fresh.Initialize(mesh, waypoint, to);
            const bool found = fresh.Process();
            ASSERT_EQ(then.found, found || mesh.IsValidTravel(waypoint, to)) << base << " " << i;
            if (!found)
                continue;
            Path rest;
            fresh.AppendRoute(&rest);
            rest.push_back(waypoint);
            EXPECT_NEAR(RouteLength(then.path), RouteLength(rest), 1e-3) << base << " " << i;
            const V kept = first.path[first.path.size() - 3];
            EXPECT_EQ(then.next, fresh.FirstWaypoint()) << base << " " << i;
            goneOn += !change && then.next == kept;
            changedCourse += change && then.next != kept;
        }
    }
    EXPECT_GT(goneOn, 10);
    EXPECT_GT(changedCourse, 0);
}

}  // namespace

namespace {

// On plain grids, where routes of equal length abound, each leg of a walk goes where a search
// from that waypoint goes, whether or not the route found before is taken up again.
TEST(PathSearch, EveryLegOfAWalkIsTheFreshSearchsFirstLeg)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> coord(0, 400);
    int legs = 0;
    for (int round = 0; round < 6; ++round) {
        tMesh mesh = LoadSource(RandomSource(random, 8 + round, 0));
        const std::string base = "round " + std::to_string(round);
        for (int i = 0; i < 300; ++i) {
            V position(coord(random), coord(random));
            const V to(coord(random), coord(random));
            for (size_t leg = 0; leg < mesh.Walknodes().size(); ++leg) {
                V next;
                if (!ComputePathToTarget(mesh, position, to, 0, &next) || next == to || next == position)
                    break;
                ComputeB fresh;
                fresh.Initialize(mesh, position, to);
                ASSERT_TRUE(fresh.Process()) << base << " " << i;
                ASSERT_EQ(next, fresh.FirstWaypoint()) << base << " " << i << " leg " << leg;
                legs += leg > 0;
                position = next;
            }
        }
    }
    EXPECT_GT(legs, 1000);
}

}  // namespace
