// The asset loaders installed at start-up: an asset map loads every kind by bare name.

#include "engine/asset_loaders.h"
#include "engine_gl_fixture.h"

#include "core/files/asset_map.h"
#include "core/platform/system_cursor.h"
#include "core/script/script_code.h"
#include "render/anim/animated_texture.h"
#include "render/model/model.h"
#include "render/texture/texture.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace {

std::vector<unsigned char> GreyJpeg(int width, int height)
{
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(size_t(width) * 3, 128);
    while (c.next_scanline < c.image_height) {
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&c, &line, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<unsigned char> bytes(out, out + size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

void Put16(std::vector<unsigned char>& out, int v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

// One triangle in the mesh format.
std::vector<unsigned char> TriangleMesh()
{
    std::vector<unsigned char> out{'T', 'R', 'I', 'S'};
    Put16(out, 3);
    Put16(out, 1);
    const int verts[3][8] = {
        {1000, 0, 0, 0, 0, -1000, 500, 250}, {0, 2500, 0, 0, 0, 1000, 0, 0}, {0, 0, 1000, 0, 0, 0, 0, 0}};
    for (const auto& v : verts)
        for (int value : v)
            Put16(out, value);
    for (int i : {0, 2, 1})
        Put16(out, i);
    return out;
}

const char kBlinkXml[] = "<sequence name=\"blink\">\n"
                         " <img name=\"blink.png\" w=\"12\" h=\"19\"/>\n"
                         " <framelist>\n"
                         "  <frame name=\"open\" x=\"0\" y=\"0\" w=\"6\" h=\"19\"/>\n"
                         "  <frame name=\"shut\" x=\"6\" y=\"0\" w=\"6\" h=\"19\"/>\n"
                         " </framelist>\n"
                         "</sequence>\n";

const char* const kTypes[] = {"png", "jpg", "xml", "anm", "mesh", "lua"};

class AssetLoaders : public EngineGLTest
{
protected:
    void SetUp() override
    {
        EngineGLTest::SetUp();
        if (HasFatalFailure())
            return;
        Put("images/door.png", gCursor, gCursorSize);
        Put("images/sky.jpg", GreyJpeg(16, 8));
        Put("anims/blink.xml", kBlinkXml);
        Put("anims/blink.png", gCursor, gCursorSize);
        Put("models/tri.mesh", TriangleMesh());
        Put("scripts/hello.lua", "hello = 'world'\n");
        Scan();
    }
    void TearDown() override
    {
        for (const char* type : kTypes)
            TAssetMap::UnregisterLoader(type);
        EngineGLTest::TearDown();
    }
};

TEST_F(AssetLoaders, EveryKindLoadsByNameOnceInstalled)
{
    for (const char* type : kTypes)
        TAssetMap::UnregisterLoader(type);
    {
        TAssetMap before;
        testing::internal::CaptureStderr();
        before.AddAsset("images/door");
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(before.QueryAsset("images/door"));
        EXPECT_NE(log.find("TAssetMap::AddAsset: Error loading images/door.png"), std::string::npos) << log;
    }

    InstallAssetLoaders();
    TAssetMap map;
    const char* names[] = {"images/door", "images\\sky", "anims/blink", "models/tri", "scripts/hello", nullptr};
    testing::internal::CaptureStderr();
    map.AddAssets(names);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    auto door = map.GetTexture("images/door");
    ASSERT_TRUE(door);
    EXPECT_EQ(door->GetWidth(), 12u);
    EXPECT_EQ(door->GetHeight(), 19u);
    EXPECT_FALSE(AssetCast<TAnimatedTexture>(std::shared_ptr<TAsset>(door)));

    auto sky = map.GetTexture("images/sky");
    ASSERT_TRUE(sky);
    EXPECT_EQ(sky->GetWidth(), 16u);
    EXPECT_EQ(sky->GetHeight(), 8u);

    // ".xml" is tried before ".png": the animation, not its picture.
    auto blink = map.GetTexture<TAnimatedTexture>("anims/blink");
    ASSERT_TRUE(blink);
    EXPECT_EQ(blink->GetNumFrames(), 2);

    auto tri = map.GetTexture<TModel>("models/tri");
    ASSERT_TRUE(tri);
    ASSERT_NE(tri->GetMesh(), nullptr);
    EXPECT_EQ(tri->GetMesh()->vertexCount, 3);

    auto hello = map.GetTexture<TScriptCode>("scripts/hello");
    ASSERT_TRUE(hello);
    EXPECT_GT(hello->GetLength(), 0u);

    // A second map shares what the asset manager already holds.
    TAssetMap other;
    other.AddAsset("images/door");
    EXPECT_EQ(other.GetTexture("images/door"), door);
}

}  // namespace
