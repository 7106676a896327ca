// The mesh tool end to end: build, dump through the game's loaders, routes, and bad input.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tools/support/tool_run.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TToolResult Meshtool(const std::vector<std::string>& args)
{
    return RunTool(TV_MESHTOOL_PATH, args);
}

// Labels on vertices, a polygon cut into triangles, shared corners welded, a v2 depth.
const char* kSource = R"(# a hall and a door
vertex 10 20 spawn walkto
poly 0,0 100,0 100,50 0,50 label=hall depth=30
tri 100,0 130,25 100,50 label=door
)";

const char* kDumpedVerts = "vertex 10 20 spawn walkto\n"
                           "vertex 0 0\n"
                           "vertex 100 0\n"
                           "vertex 100 50\n"
                           "vertex 0 50\n"
                           "vertex 130 25\n";

TEST(Meshtool, BuildThenDumpGivesTheSourceBack)
{
    TScratchDir dir;
    const std::string source = dir.Write("hall.mesh", kSource);
    ASSERT_EQ(Meshtool({"build", source, dir.File("hall")}).exitCode, 0);
    const TToolResult verts = Meshtool({"dump", dir.File("hall.dverts")});
    ASSERT_EQ(verts.exitCode, 0) << verts.output;
    EXPECT_EQ(verts.output, kDumpedVerts);
    const TToolResult mesh = Meshtool({"dump", dir.File("hall.dmesh")});
    ASSERT_EQ(mesh.exitCode, 0) << mesh.output;
    EXPECT_EQ(mesh.output, "version 2\n"
                           "tri @4 @1 @2 label=hall depth=30\n"
                           "tri @2 @3 @4 label=hall depth=30\n"
                           "tri @2 @5 @3 label=door\n");
    // The printed text is a source of the same files.
    const std::string again = dir.Write("again.mesh", verts.output + mesh.output);
    ASSERT_EQ(Meshtool({"build", again, dir.File("again")}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir.File("again.dverts")), ReadFile(dir.File("hall.dverts")));
    EXPECT_EQ(ReadFile(dir.File("again.dmesh")), ReadFile(dir.File("hall.dmesh")));
}

TEST(Meshtool, VersionOneCarriesNoDepth)
{
    TScratchDir dir;
    ASSERT_EQ(
        Meshtool({"build", dir.Write("v1.mesh", "version 1\ntri 0,0 9,0 0,9 label=a\n"), dir.File("v1")}).exitCode, 0);
    EXPECT_EQ(Meshtool({"dump", dir.File("v1.dmesh")}).output, "version 1\ntri @0 @1 @2 label=a\n");
}

TEST(Meshtool, BadSourcesNameFileAndLine)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        {"tri 0,0 1,0\n", "bad.mesh:1: tri needs three points"},
        {"\ntri 0,0 40000,0 0,9\n", "bad.mesh:2: point 40000,0 is outside the 16-bit range"},
        {"tri 0,0 -32769,0 0,9\n", "outside the 16-bit range"},
        {"tri 0,0 5,5 10,10\n", "bad.mesh:1: triangle has no area"},
        {"poly 0,0 10,0 0,10 10,10\n", "bad.mesh:1: polygon is not simple"},
        {"tri 0,0 9,0 0,0\n", "a point is repeated"},
        {"tri 0,0 9,0 @7\n", "bad.mesh:1:"},
        {"tri 0,0 9,0 0,x\n", "bad.mesh:1:"},
        {"version 3\n", "version must be 1 or 2"},
        {"vertex 1\n", "vertex needs x and y"},
        {"walls 1 2\n", "unknown command \"walls\""},
        {"tri 0,0 9,0 0,9 depth=70000\n", "bad.mesh:1: depth '70000' out of range"},
        {"version 1\n\ntri 0,0 9,0 0,9 depth=3\n", "bad.mesh:3: depth given, but version 1"},
    };
    for (const auto& c : cases) {
        TScratchDir dir;
        const TToolResult r = Meshtool({"build", dir.Write("bad.mesh", c.text), dir.File("out")});
        EXPECT_EQ(r.exitCode, 1) << c.text;
        EXPECT_NE(r.output.find(c.error), std::string::npos) << c.text << " gave " << r.output;
        EXPECT_TRUE(ReadFile(dir.File("out.dverts")).empty()) << c.text;
    }
}

TEST(Meshtool, RoutesAsAnActorWalksThem)
{
    TScratchDir dir;
    // A room with a block in the middle (x 40..60, y 20..80), walked round from west to east.
    const std::string source = dir.Write("block.mesh", R"(
poly 0,0 40,0 40,20 0,20
poly 40,0 60,0 60,20 40,20
poly 60,0 100,0 100,20 60,20
poly 0,20 40,20 40,80 0,80
poly 60,20 100,20 100,80 60,80
poly 0,80 40,80 40,100 0,100
poly 40,80 60,80 60,100 40,100
poly 60,80 100,80 100,100 60,100
)");
    ASSERT_EQ(Meshtool({"build", source, dir.File("block")}).exitCode, 0);
    const struct
    {
        std::vector<std::string> args;
        std::string output;
    } cases[] = {
        {{"10", "30", "90", "30"}, "10.00 30.00\n40.00 20.00\n60.00 20.00\n90.00 30.00\nlength 83.25\n"},
        {{"10", "30", "10", "70"}, "10.00 30.00\n10.00 70.00\nlength 40.00\n"},
        {{"10", "30", "50", "50"}, "no route\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"path", dir.File("block")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const TToolResult r = Meshtool(args);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output, c.output);
    }
}

TEST(Meshtool, DamagedOrMissingFilesFail)
{
    TScratchDir dir;
    ASSERT_EQ(Meshtool({"build", dir.Write("ok.mesh", "tri 0,0 9,0 0,9\n"), dir.File("ok")}).exitCode, 0);
    std::string cut = ReadFile(dir.File("ok.dmesh"));
    cut.resize(cut.size() - 3);
    dir.Write("cut.dmesh", cut);
    dir.Write("cut.dverts", ReadFile(dir.File("ok.dverts")));
    dir.Write("junk.dverts", BinaryGarbage(100));
    const struct
    {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"dump", dir.File("cut.dmesh")}, "Ran out of data in"},
        {{"dump", dir.File("junk.dverts")}, "was corrupt"},
        {{"dump", dir.File("none.dverts")}, "Failed to open"},
        {{"path", dir.File("cut"), "1", "1", "2", "2"}, "do not load"},
        {{"path", dir.File("none"), "1", "1", "2", "2"}, "do not load"},
    };
    for (const auto& c : cases) {
        const TToolResult r = Meshtool(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args[1];
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args[1] << ": " << r.output;
    }
    EXPECT_EQ(Meshtool({"path", dir.File("ok"), "1", "x", "2", "2"}).exitCode, 2);
    EXPECT_EQ(Meshtool({"frobnicate"}).exitCode, 2);
}

}  // namespace
