// The 2D particle renderer's vertices for known particles, as the device receives them.

#include "particles/render/particle_renderer_2d.h"

#include "../support/particle_test_support.h"

#include "core/config/config.h"
#include "core/files/asset.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_texture.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "tools/animpack/anim_pack.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

namespace {

using TParticle = std::array<float, 10>;

// pPosition, pUp, pScale, pColor, pFrame.
TParticle Make(float x, float y, float scale = 1, std::array<float, 4> color = {1, 1, 1, 1}, float upX = 0,
               float upY = -1, float frame = 0)
{
    return {x, y, upX, upY, scale, color[0], color[1], color[2], color[3], frame};
}

class Particle2dRenderer : public testing::Test
{
protected:
    void TearDown() override
    {
        TConfig::SetConfig("brokenindexedverts", "");
        TConfig::SetConfig(TConfig::kAdjustAnimatedParticles, "");
    }

    // Draws the particles (first one newest) with the pool capacity given.
    TCapturingDisplayHandler& Draw(T2dParticleRenderer& r, std::vector<TParticle>& particles, TVec3 origin,
                                   float alpha = 1, int capacity = -1)
    {
        TParticleList live;
        for (TParticle& p : particles)
            live.push_back(p.data());
        r.Draw(origin, alpha, live, capacity < 0 ? static_cast<int>(particles.size()) : capacity);
        return mRenderer.Device();
    }

    TCapturingRenderer mRenderer;
};

void ExpectVertex(const TTransformedLitVert& v, float x, float y, float u, float w)
{
    EXPECT_FLOAT_EQ(v.position.x, x);
    EXPECT_FLOAT_EQ(v.position.y, y);
    EXPECT_FLOAT_EQ(v.uv.x, u);
    EXPECT_FLOAT_EQ(v.uv.y, w);
}

TEST_F(Particle2dRenderer, UntexturedParticleIsAUnitQuadScaledAroundItsCentre)
{
    T2dParticleRenderer r;
    EXPECT_EQ(r.GetLuaInitString(), str("pPosition = Allocate(2);\npUp = Allocate(2);\npScale = Allocate(1);\n"
                                        "pColor = Allocate(4);\npFrame = Allocate(1);\n"));
    EXPECT_EQ(r.GetPrototypeParticleSize(), 10);
    EXPECT_EQ(TParticle(Make(0, 0)), (TParticle{0, 0, 0, -1, 1, 1, 1, 1, 1, 0}));
    std::vector<TParticle> ps = {Make(10, 20, 4, {1, 0.5f, 0, 1})};
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(100, 50, 0.25f));
    ASSERT_EQ(d.mDraws.size(), 1u);
    const TCapturedDraw& draw = d.mDraws[0];
    EXPECT_TRUE(draw.indexed);
    EXPECT_EQ(draw.primitive, TRenderer::kTriangleList);
    ASSERT_EQ(draw.vertices.size(), 4u);
    EXPECT_EQ(draw.indices, (std::vector<unsigned short>{0, 1, 2, 1, 3, 2}));
    // Centre (100 - 0.5 + 10, 50 - 0.5 + 20), half size 2.
    ExpectVertex(draw.vertices[0], 107.5f, 67.5f, 0, 0);
    ExpectVertex(draw.vertices[1], 111.5f, 67.5f, 1, 0);
    ExpectVertex(draw.vertices[2], 107.5f, 71.5f, 0, 1);
    ExpectVertex(draw.vertices[3], 111.5f, 71.5f, 1, 1);
    for (const TTransformedLitVert& v : draw.vertices) {
        EXPECT_FLOAT_EQ(v.position.z, 0.25f);
        EXPECT_FLOAT_EQ(v.rhw, 0.5f);
        EXPECT_EQ(uint32_t(v.diffuse), 0xFFFF7F00u);
    }
    ASSERT_EQ(d.mTextures.size(), 1u);
    EXPECT_EQ(d.mTextures[0], nullptr);
    EXPECT_EQ(d.mBlendModes, (std::vector<int>{0}));
}

TEST_F(Particle2dRenderer, UpVectorTurnsTheQuadAndColoursAreClampedAndScaledByAlpha)
{
    T2dParticleRenderer r;
    std::vector<TParticle> ps = {Make(0, 0, 2, {2, -1, 0.5f, 3}, 1, 0), Make(0, 0, 1, {1, 1, 1, 0})};
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(0.5f, 0.5f, 0), 0.5f);
    ASSERT_EQ(d.mDraws.size(), 1u);
    const auto& v = d.mDraws[0].vertices;
    ASSERT_EQ(v.size(), 8u);
    // A quarter turn: the quad's top-left corner lands at the top-right.
    ExpectVertex(v[0], 1, -1, 0, 0);
    ExpectVertex(v[1], 1, 1, 1, 0);
    ExpectVertex(v[2], -1, -1, 0, 1);
    ExpectVertex(v[3], -1, 1, 1, 1);
    EXPECT_EQ(uint32_t(v[0].diffuse), 0x7FFF007Fu);
    // Alpha 0 stays hidden.
    EXPECT_EQ(uint32_t(v[4].diffuse), 0x00FFFFFFu);
}

TEST_F(Particle2dRenderer, PlainVerticesWhenIndexedDrawingIsBroken)
{
    TConfig::SetConfig("brokenindexedverts", "1");
    T2dParticleRenderer r;
    EXPECT_FALSE(r.IsIndexed());
    std::vector<TParticle> ps = {Make(0, 0), Make(5, 5)};
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(0.5f, 0.5f, 0), 1, 10);
    ASSERT_EQ(d.mDraws.size(), 1u);
    EXPECT_FALSE(d.mDraws[0].indexed);
    const auto& v = d.mDraws[0].vertices;
    ASSERT_EQ(v.size(), 12u);
    ExpectVertex(v[0], -0.5f, -0.5f, 0, 0);
    ExpectVertex(v[3], 0.5f, -0.5f, 1, 0);
    ExpectVertex(v[4], 0.5f, 0.5f, 1, 1);
    ExpectVertex(v[5], -0.5f, 0.5f, 0, 1);
    ExpectVertex(v[6], 4.5f, 4.5f, 0, 0);
}

TEST_F(Particle2dRenderer, PoolsBeyondSixteenBitIndicesDrawInBatches)
{
    T2dParticleRenderer r;
    std::vector<TParticle> ps(20000, Make(1, 1));
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(0, 0, 0));
    ASSERT_EQ(d.mDraws.size(), 2u);
    EXPECT_EQ(d.mDraws[0].vertices.size(), 16384u * 4);
    EXPECT_EQ(d.mDraws[0].indices.size(), 16384u * 6);
    EXPECT_EQ(d.mDraws[1].vertices.size(), 3616u * 4);
    EXPECT_EQ(d.mDraws[1].indices.size(), 3616u * 6);
    EXPECT_EQ(d.mDraws[0].indices.back(), 65534);
    EXPECT_EQ(d.mDraws[1].indices[5], 2);
}

TEST_F(Particle2dRenderer, BlendModeOption)
{
    T2dParticleRenderer r;
    const float additive[4] = {2, 0, 0, 0};
    r.SetRendererOption("blendmode", additive);
    EXPECT_EQ(r.GetBlendMode(), 2u);
    const float negative[4] = {-3, 0, 0, 0};
    r.SetRendererOption("blendmode", negative);
    EXPECT_EQ(r.GetBlendMode(), 0u);
    r.SetRendererOption("blendmode", additive);
    r.SetRendererOption("glow", negative);
    EXPECT_EQ(r.GetBlendMode(), 2u);
    TLogCapture log;
    const float unknown[4] = {9, 0, 0, 0};
    r.SetRendererOption("blendmode", unknown);
    EXPECT_EQ(r.GetBlendMode(), 0u);
    EXPECT_NE(log.Text().find("unknown blend mode"), std::string::npos);
}

TEST_F(Particle2dRenderer, SystemDrawsItsLiveParticlesWithItsBlendMode)
{
    TLuaParticleSystem s;
    ASSERT_TRUE(s.Init("SetNumParticles(4)\nSetBlendMode(kBlendAdditiveAlpha)\n"
                       "pPosition:Init(Vec2(10, 0))\npScale:Init(2)\n"));
    s.Draw(TVec3(0, 0, 0));
    EXPECT_TRUE(mRenderer.Device().mDraws.empty());
    s.CreateParticles(2);
    s.Draw(TVec3(0.5f, 0.5f, 0));
    TCapturingDisplayHandler& d = mRenderer.Device();
    ASSERT_EQ(d.mDraws.size(), 1u);
    EXPECT_EQ(d.mDraws[0].vertices.size(), 8u);
    EXPECT_EQ(d.mBlendModes.back(), 2);
    ExpectVertex(d.mDraws[0].vertices[0], 9, -1, 0, 0);
}

class Particle2dTextures : public Particle2dRenderer
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureParticleGLContext());
        TAssetManager::SetInstance(&mManager);
    }
    void TearDown() override
    {
        TAssetManager::SetInstance(nullptr);
        Particle2dRenderer::TearDown();
    }

    // Frames 0..2 of 8 x 4, 16 x 8 and 8 x 4 pixels, registered at their own centres.
    std::shared_ptr<TAnimatedTexture> Strip()
    {
        const int sizes[3][2] = {{8, 4}, {16, 8}, {8, 4}};
        std::vector<TPackFrame> frames(3);
        for (int i = 0; i < 3; ++i) {
            frames[size_t(i)].name = "f" + std::to_string(i);
            frames[size_t(i)].width = sizes[i][0];
            frames[size_t(i)].height = sizes[i][1];
            frames[size_t(i)].pixels.assign(size_t(sizes[i][0] * sizes[i][1]), 0xFFFFFFFFu);
        }
        TPackOptions options;
        options.name = "spark";
        TPackedAnimation packed;
        std::string error;
        EXPECT_TRUE(PackAnimation(frames, options, &packed, &error)) << error;
        EXPECT_TRUE(WritePackedAnimation(packed, mAssets.Folder("fx") + "/", &error)) << error;
        mAssets.Scan();
        return TAnimatedTexture::Get("fx/spark.xml", "", "");
    }

    TAssetManager mManager;
    TParticleTempAssets mAssets;
};

TEST_F(Particle2dTextures, TextureSizeIsTheQuadSize)
{
    std::shared_ptr<TTexture> texture = TTexture::Create(32, 16, true);
    ASSERT_TRUE(texture);
    T2dParticleRenderer r;
    r.SetTexture(texture);
    EXPECT_EQ(r.GetQuadSize(), TVec2(32, 16));
    std::vector<TParticle> ps = {Make(0, 0, 0.5f)};
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(0.5f, 0.5f, 0));
    ASSERT_EQ(d.mDraws.size(), 1u);
    ExpectVertex(d.mDraws[0].vertices[0], -8, -4, 0, 0);
    ExpectVertex(d.mDraws[0].vertices[3], 8, 4, 1, 1);
    EXPECT_EQ(d.mTextures.back(), texture);
}

TEST_F(Particle2dTextures, AnimatedFramesPickTheirRectangleAndHoldAtTheEnds)
{
    std::shared_ptr<TAnimatedTexture> strip = Strip();
    ASSERT_TRUE(strip);
    ASSERT_EQ(strip->GetNumFrames(), 3);
    T2dParticleRenderer r;
    r.SetTexture(strip);
    const auto [w, h] = strip->GetInternalSize();
    std::vector<TParticle> ps = {Make(0, 0, 1, {1, 1, 1, 1}, 0, -1, 1.7f), Make(0, 0, 1, {1, 1, 1, 1}, 0, -1, 12),
                                 Make(0, 0, 1, {1, 1, 1, 1}, 0, -1, -3)};
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(0, 0, 0));
    ASSERT_EQ(d.mDraws.size(), 1u);
    const auto& v = d.mDraws[0].vertices;
    const int expected[3] = {1, 2, 0};
    for (int q = 0; q < 3; ++q) {
        const TRect rect = strip->GetFrameRect(expected[q]);
        const TTransformedLitVert& first = v[size_t(q) * 4];
        const TTransformedLitVert& last = v[size_t(q) * 4 + 3];
        EXPECT_FLOAT_EQ(first.uv.x, float(rect.left) / float(w)) << q;
        EXPECT_FLOAT_EQ(first.uv.y, float(rect.top) / float(h)) << q;
        EXPECT_FLOAT_EQ(last.uv.x, float(rect.right) / float(w)) << q;
        EXPECT_FLOAT_EQ(last.uv.y, float(rect.bottom) / float(h)) << q;
    }
}

TEST_F(Particle2dTextures, AdjustedFramesTakeTheirOwnSizeAndPlace)
{
    TConfig::SetConfig(TConfig::kAdjustAnimatedParticles, "1");
    std::shared_ptr<TAnimatedTexture> strip = Strip();
    ASSERT_TRUE(strip);
    T2dParticleRenderer r;
    r.SetTexture(strip);
    std::vector<TParticle> ps = {Make(0, 0, 2, {1, 1, 1, 1}, 0, -1, 1)};
    TCapturingDisplayHandler& d = Draw(r, ps, TVec3(0.5f, 0.5f, 0));
    ASSERT_EQ(d.mDraws.size(), 1u);
    const TPoint reg0 = strip->GetRegistrationPoint(0);
    const TPoint reg1 = strip->GetRegistrationPoint(1);
    const float cx = float(reg0.x - reg1.x) * 2 + float((16 - 8) / 2) * 2;
    const float cy = float(reg0.y - reg1.y) * 2 + float((8 - 4) / 2) * 2;
    // Frame 1 is 16 x 8, doubled.
    ExpectVertex(d.mDraws[0].vertices[0], cx - 16, cy - 8, d.mDraws[0].vertices[0].uv.x, d.mDraws[0].vertices[0].uv.y);
    ExpectVertex(d.mDraws[0].vertices[3], cx + 16, cy + 8, d.mDraws[0].vertices[3].uv.x, d.mDraws[0].vertices[3].uv.y);
}

}  // namespace
