#include "render/anim/animated_texture.h"

#include "core/files/asset_map.h"
#include "render/renderer/renderer.h"
#include "tools/animpack/anim_pack.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <fstream>

namespace {

class AnimatedTextureLoad : public GLTest
{
protected:
    // Frames of 40 × 20: frame i is filled with colour i, registered at (10, 0).
    TPackedAnimation PackStrip(const std::string& name, int count)
    {
        std::vector<TPackFrame> frames(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            frames[size_t(i)].name = "f" + std::to_string(i);
            frames[size_t(i)].width = 40;
            frames[size_t(i)].height = 20;
            frames[size_t(i)].pixels.assign(800, kColors[i % 3]);
        }
        TPackOptions options;
        options.name = name;
        options.hasRegistration = true;
        options.regX = 10;
        options.regY = 0;
        TPackedAnimation packed;
        std::string error;
        EXPECT_TRUE(PackAnimation(frames, options, &packed, &error)) << error;
        return packed;
    }

    void Write(const TPackedAnimation& packed, const std::string& folder)
    {
        std::string error;
        const std::string dir = assets.Root() + "/assets/" + folder;
        std::filesystem::create_directories(dir);
        ASSERT_TRUE(WritePackedAnimation(packed, dir, &error)) << error;
        assets.Scan();
    }

    void DrawAt(const std::shared_ptr<TAnimatedTexture>& t, TDrawSpec spec)
    {
        TRenderer* r = TRenderer::GetInstance();
        ASSERT_TRUE(r->BeginDraw(false));
        ASSERT_TRUE(r->Begin2d());
        t->DrawSprite(spec);
        r->End2d();
        r->EndDraw(false);
    }

    static void ClearFrame()
    {
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
    }

    static constexpr uint32_t kColors[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    TTempAssets assets;
};

TEST_F(AnimatedTextureLoad, PackedXmlAndBinaryFormsLoadToTheSameFrames)
{
    Write(PackStrip("walk", 5), "anims/");
    auto fromXml = TAnimatedTexture::Get("anims/walk.xml", "", "");
    auto fromAnm = TAnimatedTexture::Get("anims/walk.anm", "", "");
    ASSERT_TRUE(fromXml);
    ASSERT_TRUE(fromAnm);
    EXPECT_NE(fromXml, fromAnm);
    ASSERT_EQ(fromXml->GetNumFrames(), 5);
    ASSERT_EQ(fromAnm->GetNumFrames(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(*fromXml->GetFrame(i) == *fromAnm->GetFrame(i)) << i;
    EXPECT_EQ(fromXml->GetScript(), fromAnm->GetScript());
    EXPECT_EQ(fromXml->GetPath(), str("anims/"));
    // The sheet found beside the description.
    EXPECT_GT(fromXml->GetTextureData()->mWidth, 0u);
    EXPECT_LE(fromXml->GetTextureData()->mWidth, 1024u);

    // Frames land where the description says: each frame's pixels hold its colour.
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    ASSERT_TRUE(fromXml->Lock(&pixels, &pitch));
    for (int i = 0; i < 5; ++i) {
        const TAnimFrame* f = fromXml->GetFrame(i);
        const uint32_t corner = uint32_t(pixels[size_t(f->y) * pitch + size_t(f->x)]);
        const uint32_t far = uint32_t(pixels[size_t(f->y + 19) * pitch + size_t(f->x + 39)]);
        EXPECT_EQ(corner, kColors[i % 3]) << i;
        EXPECT_EQ(far, kColors[i % 3]) << i;
    }
    fromXml->Unlock();
}

TEST_F(AnimatedTextureLoad, NameWithoutExtensionPrefersXmlThenBinary)
{
    TPackedAnimation packed = PackStrip("walk", 2);
    Write(packed, "");
    std::remove(assets.Path("walk.xml").c_str());
    assets.Scan();
    auto binary = TAnimatedTexture::Get("walk", "", "");
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->GetNumFrames(), 2);

    // Same name again: the cached texture.
    EXPECT_EQ(TAnimatedTexture::Get("walk", "", ""), binary);

    // With both present the XML one is read: it differs in its frame count here.
    TPackedAnimation three = PackStrip("walk", 3);
    std::ofstream(assets.Path("walk.xml"), std::ios::binary) << AnimationXml(three.description);
    assets.Scan();
    binary.reset();
    auto xml = TAnimatedTexture::Get("walk", "", "");
    ASSERT_TRUE(xml);
    EXPECT_EQ(xml->GetNumFrames(), 3);
}

TEST_F(AnimatedTextureLoad, MissingDescriptionOrSheetFails)
{
    EXPECT_FALSE(TAnimatedTexture::Get("nothing", "", ""));
    Write(PackStrip("lost", 1), "");
    std::remove(assets.Path("lost.png").c_str());
    assets.Scan();
    EXPECT_FALSE(TAnimatedTexture::Get("lost.xml", "", ""));
}

TEST_F(AnimatedTextureLoad, DrawUsesRegistrationMirroredByFlips)
{
    Write(PackStrip("strip", 2), "");
    auto t = TAnimatedTexture::Get("strip.xml", "", "");
    ASSERT_TRUE(t);
    t->SetCurrentFrame(1);

    TDrawSpec spec;
    spec.matrix[2] = TVec3(100, 50, 1);
    DrawAt(t, spec);
    // Registered at x = 10: the frame covers 90..129 and rows 50..69.
    EXPECT_EQ(ReadPixel(90, 50), kColors[1]);
    EXPECT_EQ(ReadPixel(129, 69), kColors[1]);
    EXPECT_EQ(ReadPixel(89, 50), 0u);
    EXPECT_EQ(ReadPixel(130, 50), 0u);

    ClearFrame();
    spec.flags = TDrawSpec::kFlipH;
    DrawAt(t, spec);
    // Mirrored: the centre is 40 - 10 = 30, so the frame covers 70..109.
    EXPECT_EQ(ReadPixel(70, 50), kColors[1]);
    EXPECT_EQ(ReadPixel(109, 50), kColors[1]);
    EXPECT_EQ(ReadPixel(69, 50), 0u);
    EXPECT_EQ(ReadPixel(110, 50), 0u);
}

TEST_F(AnimatedTextureLoad, SourceRectangleIsRelativeToTheFrameAndClipped)
{
    Write(PackStrip("strip", 2), "");
    auto t = TAnimatedTexture::Get("strip.xml", "", "");
    ASSERT_TRUE(t);
    t->SetCurrentFrame(1);
    TDrawSpec spec;
    spec.matrix[2] = TVec3(100, 50, 1);
    spec.flags = TDrawSpec::kUseSourceRect | TDrawSpec::kUseCentre;
    // Reaches past the frame's right edge: clipped to the 10 columns 30..39 of the frame.
    spec.source = TRect(30, 0, 60, 20);
    DrawAt(t, spec);
    EXPECT_EQ(ReadPixel(100, 50), kColors[1]);
    EXPECT_EQ(ReadPixel(109, 50), kColors[1]);
    EXPECT_EQ(ReadPixel(110, 50), 0u);

    // Wholly outside the frame: nothing at all.
    ClearFrame();
    spec.source = TRect(50, 0, 60, 20);
    DrawAt(t, spec);
    for (int x = 80; x < 140; x += 3)
        EXPECT_EQ(ReadPixel(x, 55), 0u) << x;
}

TEST_F(AnimatedTextureLoad, NoFrameDrawsNothing)
{
    Write(PackStrip("strip", 1), "");
    auto t = TAnimatedTexture::Get("strip.xml", "", "");
    ASSERT_TRUE(t);
    t->SetCurrentFrame(-1);
    TDrawSpec spec;
    spec.matrix[2] = TVec3(100, 50, 1);
    DrawAt(t, spec);
    EXPECT_EQ(ReadPixel(100, 55), 0u);
}

TEST_F(AnimatedTextureLoad, AssetListLoadsAnimationsByName)
{
    TAnimatedTexture::RegisterAssetLoaders();
    Write(PackStrip("hop", 2), "");
    TAssetMap map;
    map.AddAsset("hop");
    auto t = map.GetTexture<TAnimatedTexture>("hop");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->GetNumFrames(), 2);
    TAssetMap::UnregisterLoader("xml");
    TAssetMap::UnregisterLoader("anm");
}

}  // namespace
