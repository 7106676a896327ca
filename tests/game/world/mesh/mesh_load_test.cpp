// Loading ".dverts" and ".dmesh": the layouts, both versions, and damaged files.

#include <gtest/gtest.h>

#include <random>

#include "common/log_capture.h"
#include "game/world/mesh_fixture.h"

namespace {

// Two triangles sharing the edge (10,0)-(0,10); the first labelled "left" at depth 7.
const char* kPair = R"(
vertex 0 0 spawn
vertex 10 10 walkto
tri 0,0 10,0 0,10 label=left depth=7
tri 10,0 10,10 0,10
)";

struct Files
{
    std::vector<unsigned char> verts, mesh;
};

Files PairFiles(int version = 2)
{
    TMeshSource source = ParseSource(kPair);
    source.version = version;
    return {EncodeVertFile(source), EncodeMeshFile(source)};
}

// Loads the two byte strings; returns the two loader results and the log.
struct LoadResult
{
    int verts, mesh;
    std::string log;
};

LoadResult Load(tMesh* mesh, const Files& files)
{
    static int serial = 0;
    const std::string base = "load" + std::to_string(++serial);
    ServeBytes(base + ".dverts", files.verts);
    ServeBytes(base + ".dmesh", files.mesh);
    TLogCapture log;
    LoadResult r;
    r.verts = mesh->LoadVertlist(str((base + ".dverts").c_str()));
    r.mesh = r.verts ? -1 : mesh->LoadPolylist(str((base + ".dmesh").c_str()));
    r.log = log.Text();
    return r;
}

// Nothing a query could index past is left after a failed load.
void ExpectEmptyOfPolygons(const tMesh& mesh)
{
    EXPECT_TRUE(mesh.Polys().empty());
    EXPECT_TRUE(mesh.Edges().empty());
    EXPECT_TRUE(mesh.Walknodes().empty());
    EXPECT_EQ(mesh.PolyCollide(tVector2<float>(1, 1)), -1);
    EXPECT_EQ(mesh.ClosestPointToMesh(tVector2<float>(50, 50)), tVector2<float>());
    EXPECT_EQ(mesh.ClosestPointToMeshFromPoint(tVector2<float>(1, 1), tVector2<float>(1, 1)), tVector2<float>());
    EXPECT_FALSE(mesh.IsValidTravel(tVector2<float>(1, 1), tVector2<float>(2, 2)));
}

TEST(MeshLoad, ReadsBothVersions)
{
    const struct
    {
        int version;
        int firstDepth, secondDepth;
    } cases[] = {{1, -1, -1}, {2, 7, 65535}};
    for (const auto& c : cases) {
        tMesh mesh;
        const LoadResult r = Load(&mesh, PairFiles(c.version));
        ASSERT_EQ(r.verts, 0) << r.log;
        ASSERT_EQ(r.mesh, 0) << r.log;
        ASSERT_EQ(mesh.Vertices().size(), 4u);
        EXPECT_EQ(mesh.GetVertex(2), tVector2<float>(10, 0));
        ASSERT_EQ(mesh.Polys().size(), 2u);
        EXPECT_EQ(mesh.Polys()[0].depthValue, c.firstDepth) << c.version;
        EXPECT_EQ(mesh.Polys()[1].depthValue, c.secondDepth) << c.version;
        EXPECT_TRUE(mesh.Polys()[1].enabled);
        EXPECT_EQ(*mesh.LookupPolyLabelByIndex(0), str("left"));
        EXPECT_FALSE(mesh.LookupPolyLabelByIndex(1));
        EXPECT_EQ(mesh.LookupVertByLabel("walkto"), tVector2<float>(10, 10));
        EXPECT_EQ(mesh.Polys()[0].centre.x, 10.0f / 3);
        EXPECT_EQ(mesh.Polys()[0].adjacency[0], 1);
        EXPECT_EQ(mesh.Polys()[1].adjacency[0], 0);
        EXPECT_EQ(mesh.Edges().size(), 4u);
        EXPECT_EQ(mesh.Walknodes().size(), 4u);
    }
}

void Put16(std::vector<unsigned char>* b, size_t at, uint32_t v)
{
    (*b)[at] = uint8_t(v), (*b)[at + 1] = uint8_t(v >> 8);
}

TEST(MeshLoad, RejectsDamagedHeadersAndIndices)
{
    const size_t vertLabelIndex = 16 + 4 * 4 + 4;  // the first label's vertex number
    const size_t meshLabels = 16 + 2 * 10;         // the label count of the .dmesh
    const struct
    {
        const char* what;
        bool inVerts;
        size_t at;
        uint32_t value;
        const char* log;
    } cases[] = {
        {"vertex magic", true, 0, 0x5858, "File [load"},
        {"vertex second magic", true, 4, 0, "was corrupt"},
        {"vertex version 2", true, 8, 2, "was corrupt"},
        {"vertex label beyond the list", true, vertLabelIndex, 0x1A, "Bad label index 1A"},
        {"mesh magic", false, 0, 0x5858, "was corrupt"},
        {"mesh version 3", false, 8, 3, "was corrupt"},
        {"mesh version 0", false, 8, 0, "was corrupt"},
        {"vertex index beyond the list", false, 16 + 10 + 2, 4, "was corrupt"},
        {"vertex index far beyond", false, 16, 0xFFFF, "was corrupt"},
        {"polygon label beyond the count", false, meshLabels + 4, 2, "Bad label index 2"},
    };
    for (const auto& c : cases) {
        Files files = PairFiles();
        Put16(c.inVerts ? &files.verts : &files.mesh, c.at, c.value);
        tMesh mesh;
        const LoadResult r = Load(&mesh, files);
        EXPECT_EQ(c.inVerts ? r.verts : r.mesh, 1) << c.what;
        EXPECT_NE(r.log.find(c.log), std::string::npos) << c.what << ": " << r.log;
        ExpectEmptyOfPolygons(mesh);
        if (c.inVerts) {
            EXPECT_TRUE(mesh.Vertices().empty()) << c.what;
        }
    }
}

TEST(MeshLoad, TruncatedHeaderIsCorruptAndTruncatedDataRunsOut)
{
    const Files whole = PairFiles();
    for (int which = 0; which < 2; ++which) {
        const std::vector<unsigned char>& full = which == 0 ? whole.verts : whole.mesh;
        for (size_t size = 0; size < full.size(); ++size) {
            Files files = whole;
            (which == 0 ? files.verts : files.mesh).resize(size);
            tMesh mesh;
            const LoadResult r = Load(&mesh, files);
            EXPECT_EQ(which == 0 ? r.verts : r.mesh, 1) << which << " cut at " << size;
            // A header too short to hold its magic and version is damaged.
            const bool header = size < 12;
            EXPECT_NE(r.log.find(header ? "was corrupt" : "Ran out of data in load"), std::string::npos)
                << which << " cut at " << size << ": " << r.log;
            ExpectEmptyOfPolygons(mesh);
        }
    }
}

TEST(MeshLoad, RandomBytesNeverLoadHalfAMesh)
{
    std::mt19937 random(24);
    const Files whole = PairFiles();
    for (int i = 0; i < 300; ++i) {
        Files files = whole;
        auto& target = i % 2 ? files.mesh : files.verts;
        if (i % 3 == 0) {
            target.assign(size_t(random() % 64), 0);
            for (auto& b : target)
                b = uint8_t(random());
        } else {
            for (int flips = 0; flips < 3; ++flips)
                target[random() % target.size()] = uint8_t(random());
        }
        tMesh mesh;
        const LoadResult r = Load(&mesh, files);
        if (r.verts != 0 || r.mesh != 0) {
            EXPECT_FALSE(r.log.empty()) << i;
            ExpectEmptyOfPolygons(mesh);
            continue;
        }
        for (const tPoly& poly : mesh.Polys())
            for (int p : poly.points)
                EXPECT_TRUE(mesh.IsValidVertIndex(p)) << i;
    }
}

TEST(MeshLoad, MissingFilesAndReloadingVertices)
{
    tMesh mesh;
    TLogCapture log;
    EXPECT_EQ(mesh.LoadVertlist("nowhere.dverts"), 1);
    EXPECT_NE(log.Text().find("Failed to open (nowhere.dverts)"), std::string::npos);

    // New vertices make the old polygons meaningless: they go.
    ASSERT_EQ(Load(&mesh, PairFiles()).mesh, 0);
    ServeMesh("three", "tri 0,0 5,0 0,5");
    ASSERT_EQ(mesh.LoadVertlist("three.dverts"), 0);
    EXPECT_EQ(mesh.Vertices().size(), 3u);
    ExpectEmptyOfPolygons(mesh);

    // Polygons without their vertices: corrupt.
    tMesh bare;
    EXPECT_EQ(bare.LoadPolylist("three.dmesh"), 1);
    ExpectEmptyOfPolygons(bare);

    mesh.Dump();
    EXPECT_TRUE(mesh.Vertices().empty());
    EXPECT_TRUE(mesh.VertLabels().empty());
}

}  // namespace
