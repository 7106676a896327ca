// The demo game's walk meshes, built from their committed sources: the garden's pond is walked
// round, and its gate region opens the way east.

#include <gtest/gtest.h>

#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"
#include "tools/support/tool_run.h"

namespace {

using V = tVector2<float>;

tMesh BuildAndLoad(const TScratchDir& dir, const std::string& source, const std::string& name)
{
    const TToolResult r =
        RunTool(TV_MESHTOOL_PATH, {"build", std::string(TV_TEST_SOURCE_DIR) + "/assets/" + source, dir.File(name)});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    tMesh mesh;
    EXPECT_EQ(mesh.LoadVertlist(str(("::" + dir.File(name) + ".dverts").c_str())), 0);
    EXPECT_EQ(mesh.LoadPolylist(str(("::" + dir.File(name) + ".dmesh").c_str())), 0);
    return mesh;
}

TEST(DemoMeshes, GardenPondAndGate)
{
    TScratchDir dir;
    tMesh garden = BuildAndLoad(dir, "quest/garden/garden.mesh", "garden");
    const V west(600, 480), east(1000, 480);
    EXPECT_EQ(garden.PolyCollide(V(800, 480)), -1);  // the pond
    std::vector<V> route;
    ASSERT_TRUE(WalkRoute(garden, west, east, &route));
    EXPECT_GT(route.size(), 2u);  // round the pond, not through it

    const V spawn = garden.LookupVertByLabel("spawn"), exit = garden.LookupVertByLabel("to_forest");
    garden.SetPolyState("gate", false);
    EXPECT_FALSE(WalkRoute(garden, spawn, exit, &route));
    EXPECT_GE(garden.ClosestPointToMeshFromPoint(exit, spawn).y, 511);  // in front of the shut gate
    garden.SetPolyState("gate", true);
    EXPECT_TRUE(WalkRoute(garden, spawn, exit, &route));
}

TEST(DemoMeshes, CottageAndZonesHaveTheirPoints)
{
    TScratchDir dir;
    const struct
    {
        const char* source;
        const char* label;
    } cases[] = {
        {"quest/cottage/cottage.mesh", "spawn"},    {"quest/cottage/cottage.mesh", "from_garden"},
        {"quest/cottage/door_halo.mesh", "walkto"}, {"quest/cottage/drawer_halo.mesh", "walkto"},
        {"quest/garden/gate_halo.mesh", "walkto"},  {"quest/garden/garden.mesh", "gardener"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const tMesh mesh = BuildAndLoad(dir, c.source, "m" + std::to_string(n++));
        EXPECT_TRUE(mesh.VertExists(c.label)) << c.source << " " << c.label;
        EXPECT_FALSE(mesh.Polys().empty()) << c.source;
    }
}

}  // namespace
