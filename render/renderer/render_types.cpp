#include "render/renderer/render_types.h"

#include <algorithm>
#include <cstring>

TVertexSet::TVertexSet(TTransformedLitVert* verts, unsigned int count)
    : mKind(kTransformed), mVerts(verts), mCount(count)
{
}

TVertexSet::TVertexSet(TPreScaledTransformedLitVert* verts, unsigned int count)
    : mKind(kPreScaled), mVerts(reinterpret_cast<TTransformedLitVert*>(verts)), mCount(count)
{
}

void TVertexSet::SetCount(unsigned int count)
{
    mCount = count;
}

uint32_t TVertexSet::GetKind() const
{
    return mKind;
}

unsigned int TVertexSet::GetCount() const
{
    return mCount;
}

const TTransformedLitVert* TVertexSet::GetVertices() const
{
    return mVerts;
}

TDrawSpec::TDrawSpec(const TVec2& position, float a, float scale, unsigned int f) : alpha(a), flags(f)
{
    if (scale != 1.0f)
        matrix.Scale(scale);
    matrix[2] = TVec3(position.x, position.y, 1);
}

namespace {

// A colour channel as a byte; out-of-range values are clamped rather than wrapped.
uint8_t ChannelByte(float v)
{
    int i = static_cast<int>(v * 255.0f);
    return static_cast<uint8_t>(std::clamp(i, 0, 255));
}

}  // namespace

void CreateVertsFromRect(const TVec2& offset, TTransformedLitVert* verts, TVec2* corners, const TVec2* uv,
                         const TMat3& matrix, float alpha, const TColor& color)
{
    std::memset(static_cast<void*>(verts), 0, sizeof(TTransformedLitVert) * 4);
    const uint8_t alphaByte = ChannelByte(alpha);
    const TColor32 diffuse(ChannelByte(color.red), ChannelByte(color.green), ChannelByte(color.blue), alphaByte);
    static const int kU[4] = {0, 1, 1, 0};
    static const int kV[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        corners[i] = corners[i] * matrix;
        verts[i].diffuse = diffuse;
        verts[i].specular = TColor32(0, 0, 0, 255);
        verts[i].position = TVec3(corners[i].x + offset.x, corners[i].y + offset.y, 0.1f);
        verts[i].rhw = 0.5f;
        verts[i].uv = TVec2(uv[kU[i]].x, uv[kV[i]].y);
    }
}
