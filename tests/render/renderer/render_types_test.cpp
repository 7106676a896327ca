#include "render/renderer/render_types.h"
#include "render/renderer/renderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RenderTypes, EnumerationValuesAreFixed)
{
    EXPECT_EQ(TRenderer::kBlendNormal, 0);
    EXPECT_EQ(TRenderer::kBlendMultiplicative, 4);
    EXPECT_EQ(TRenderer::kPointList, 1);
    EXPECT_EQ(TRenderer::kTriangleFan, 6);
    EXPECT_EQ(TRenderer::kCullNone, 1);
    EXPECT_EQ(TRenderer::kCullCCW, 3);
    EXPECT_EQ(TRenderer::kRenderTargetAlphaMask, 4);
    EXPECT_EQ(offsetof(TTransformedLitVert, rhw), 12u);
    EXPECT_EQ(offsetof(TTransformedLitVert, diffuse), 16u);
    EXPECT_EQ(offsetof(TTransformedLitVert, uv), 24u);
}

TEST(RenderTypes, VertexSetKindsAndCount)
{
    TTransformedLitVert a[4];
    TPreScaledTransformedLitVert b[2];
    TVertexSet sa(a, 4);
    TVertexSet sb(b, 2);
    EXPECT_EQ(sa.GetKind(), 2u);
    EXPECT_EQ(sb.GetKind(), 3u);
    EXPECT_EQ(sa.GetVertices(), a);
    sa.SetCount(3);
    EXPECT_EQ(sa.GetCount(), 3u);
    EXPECT_EQ(sb.GetCount(), 2u);
}

TEST(RenderTypes, DrawSpecFromPositionAlphaScaleFlags)
{
    TDrawSpec plain(TVec2(5, 7), 0.5f, 1.0f, 8);
    EXPECT_EQ(plain.matrix[0], TVec3(1, 0, 0));
    EXPECT_EQ(plain.matrix[2], TVec3(5, 7, 1));
    EXPECT_EQ(plain.alpha, 0.5f);
    EXPECT_EQ(plain.flags, 8u);
    EXPECT_EQ(plain.blendMode, -1);
    EXPECT_EQ(plain.color, TColor(1, 1, 1, 1));
    EXPECT_EQ(plain.source, TRect(0, 0, 0, 0));
    TDrawSpec scaled(TVec2(1, 2), 1.0f, 2.0f, 0);
    EXPECT_EQ(scaled.matrix[0], TVec3(2, 0, 0));
    EXPECT_EQ(scaled.matrix[1], TVec3(0, 2, 0));
    EXPECT_EQ(scaled.matrix[2], TVec3(1, 2, 1));
    TDrawSpec copy;
    copy = scaled;
    EXPECT_EQ(copy.matrix, scaled.matrix);
}

TEST(RenderTypes, VertsFromRectInQuadOrder)
{
    TTransformedLitVert v[4];
    TVec2 corners[4] = {TVec2(0, 0), TVec2(10, 0), TVec2(10, 5), TVec2(0, 5)};
    const TVec2 uv[2] = {TVec2(0.25f, 0.5f), TVec2(0.75f, 1.0f)};
    TMat3 m;
    m.Scale(2);
    m[2] = TVec3(100, 200, 1);
    CreateVertsFromRect(TVec2(1, 1), v, corners, uv, m, 0.5f, TColor(1, 0.5f, 0, 1));
    EXPECT_EQ(corners[2], TVec2(120, 210));
    EXPECT_EQ(v[0].position, TVec3(101, 201, 0.1f));
    EXPECT_EQ(v[2].position, TVec3(121, 211, 0.1f));
    EXPECT_EQ(v[1].uv, TVec2(0.75f, 0.5f));
    EXPECT_EQ(v[3].uv, TVec2(0.25f, 1.0f));
    EXPECT_EQ(v[0].rhw, 0.5f);
    EXPECT_EQ(uint32_t(v[0].diffuse), 0x7FFF7F00u);
    EXPECT_EQ(uint32_t(v[3].specular), 0xFF000000u);
}

TEST(RenderTypes, VertsFromRectClampsOutOfRangeChannels)
{
    TTransformedLitVert v[4];
    TVec2 corners[4];
    const TVec2 uv[2];
    CreateVertsFromRect(TVec2(), v, corners, uv, TMat3(), 1.7f, TColor(1.5f, -0.2f, 0.2f, 1));
    // 1.5 stays full red instead of wrapping to 0x7E; -0.2 is 0.
    EXPECT_EQ(uint32_t(v[0].diffuse), 0xFFFF0033u);
    CreateVertsFromRect(TVec2(), v, corners, uv, TMat3(), -1.0f, TColor(0, 0, 0, 1));
    EXPECT_EQ(v[1].diffuse.Alpha(), 0);
}

}  // namespace
