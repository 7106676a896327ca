#include "render/model/model.h"

#include "core/files/asset_map.h"
#include "core/files/file.h"

#include "../support/render_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace {

void Put16(std::vector<char>& out, int v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// One triangle: vertex 0 at (1, 0, 0) with normal (0, 0, -1) and uv (0.5, 0.25).
std::vector<char> Triangle()
{
    std::vector<char> out{'T', 'R', 'I', 'S'};
    Put16(out, 3);
    Put16(out, 1);
    const int verts[3][8] = {
        {1000, 0, 0, 0, 0, -1000, 500, 250}, {0, 2500, 0, 0, 0, 1000, 0, 0}, {-32768, 0, 32767, 0, 0, 0, 0, 0}};
    for (const auto& v : verts)
        for (int value : v)
            Put16(out, value);
    for (int i : {0, 2, 1})
        Put16(out, i);
    return out;
}

class Model : public ::testing::Test
{
protected:
    void SetUp() override { TAssetManager::SetInstance(&manager); }
    void TearDown() override { TAssetManager::SetInstance(nullptr); }

    void Write(const std::string& name, const std::vector<char>& bytes)
    {
        std::ofstream(assets.Path(name), std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        assets.Scan();
    }

    TAssetManager manager;
    TTempAssets assets;
};

TEST_F(Model, LoadsVerticesAndIndices)
{
    Write("tri.mesh", Triangle());
    auto m = TModel::Get("tri.mesh");
    ASSERT_TRUE(m);
    const TMeshData* mesh = m->GetMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 3);
    EXPECT_EQ(mesh->indexCount, 3);
    EXPECT_EQ(mesh->vertices[0].position, TVec3(1, 0, 0));
    EXPECT_EQ(mesh->vertices[0].normal, TVec3(0, 0, -1));
    EXPECT_EQ(mesh->vertices[0].uv, TVec2(0.5f, 0.25f));
    EXPECT_FLOAT_EQ(mesh->vertices[1].position.y, 2.5f);
    EXPECT_FLOAT_EQ(mesh->vertices[2].position.x, -32.768f);
    EXPECT_FLOAT_EQ(mesh->vertices[2].position.z, 32.767f);
    EXPECT_EQ(mesh->indices, (std::vector<uint16_t>{0, 2, 1}));
    EXPECT_EQ(mesh->fileName, str("tri.mesh"));
}

TEST_F(Model, SecondGetSharesTheModelWithoutReading)
{
    Write("tri.mesh", Triangle());
    auto first = TModel::Get("tri.mesh");
    ASSERT_TRUE(first);
    std::remove(assets.Path("tri.mesh").c_str());
    EXPECT_EQ(TModel::Get("tri.mesh"), first);
}

TEST_F(Model, ExtensionTestIsCaseSensitive)
{
    Write("upper.MESH", Triangle());
    TModel m;
    EXPECT_FALSE(m.Init("upper.MESH"));
    EXPECT_EQ(m.GetMesh(), nullptr);
    EXPECT_FALSE(TModel::Get("upper.MESH"));
}

TEST_F(Model, MissingFileAndWrongMagic)
{
    TLogCapture log;
    EXPECT_FALSE(TModel::Get("none.mesh"));
    EXPECT_NE(log.Text().find("TModel::Init: Failed to load none.mesh"), std::string::npos);

    std::vector<char> bytes = Triangle();
    bytes[0] = 'X';
    Write("magic.mesh", bytes);
    TModel m;
    EXPECT_FALSE(m.Init("magic.mesh"));
    ASSERT_NE(m.GetMesh(), nullptr);
    EXPECT_EQ(m.GetMesh()->vertexCount, 0);
    EXPECT_FALSE(TModel::Get("magic.mesh"));
}

TEST_F(Model, DamagedFilesFailWithALogLine)
{
    const std::vector<char> good = Triangle();
    for (size_t cut = 4; cut < good.size(); ++cut) {
        Write("cut.mesh", std::vector<char>(good.begin(), good.begin() + std::ptrdiff_t(cut)));
        TLogCapture log;
        TModel m;
        EXPECT_FALSE(m.Init("cut.mesh")) << cut;
        EXPECT_EQ(m.GetMesh(), nullptr);
        EXPECT_NE(log.Text().find("cut.mesh is damaged"), std::string::npos) << cut;
    }
    std::vector<char> bad = good;
    bad[bad.size() - 2] = 3;  // the last index names a fourth vertex
    Write("index.mesh", bad);
    TLogCapture log;
    EXPECT_FALSE(TModel::Get("index.mesh"));
    EXPECT_NE(log.Text().find("vertex index 3 of 3"), std::string::npos);
}

TEST_F(Model, RestoreReloadsAndTheAssetListFindsMeshes)
{
    Write("tri.mesh", Triangle());
    TModel::RegisterAssetLoaders();
    TAssetMap map;
    map.AddAsset("tri");
    auto m = map.GetTexture<TModel>("tri");
    ASSERT_TRUE(m);
    m->Release();
    m->Restore();
    ASSERT_NE(m->GetMesh(), nullptr);
    EXPECT_EQ(m->GetMesh()->vertexCount, 3);
    TAssetMap::UnregisterLoader("mesh");
}

}  // namespace
