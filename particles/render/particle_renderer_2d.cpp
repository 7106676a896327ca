#include "particles/render/particle_renderer_2d.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "render/anim/animated_texture.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include <algorithm>

int T2dParticleRenderer::mParticleSystems = 0;
std::vector<TTransformedLitVert> T2dParticleRenderer::mVertBuffer;
std::vector<uint16_t> T2dParticleRenderer::mIndices;

namespace {

constexpr int kPosition = 0;
constexpr int kUp = 2;
constexpr int kScale = 4;
constexpr int kColor = 5;
constexpr int kFrame = 9;

struct TCorner
{
    float ox, oy, u, v;
};

constexpr TCorner kIndexedCorners[4] = {
    {-0.5f, -0.5f, 0, 0}, {0.5f, -0.5f, 1, 0}, {-0.5f, 0.5f, 0, 1}, {0.5f, 0.5f, 1, 1}};
constexpr TCorner kPlainCorners[6] = {{-0.5f, -0.5f, 0, 0}, {0.5f, -0.5f, 1, 0}, {-0.5f, 0.5f, 0, 1},
                                      {0.5f, -0.5f, 1, 0},  {0.5f, 0.5f, 1, 1},  {-0.5f, 0.5f, 0, 1}};

// What an animated texture contributes to every quad of one draw.
struct TFrameSource
{
    TAnimatedTexture* texture = nullptr;
    float width = 1;  // internal surface size
    float height = 1;
    bool adjust = false;
    TPoint reg0;
    int width0 = 0;
    int height0 = 0;
};

uint8_t ScaledAlpha(uint8_t alpha, float scale)
{
    const float a = static_cast<float>(alpha) * scale;
    // "!(a > 0)" also catches NaN.
    if (!(a > 0))
        return 0;
    return a >= 255.0f ? 255 : static_cast<uint8_t>(a);
}

}  // namespace

T2dParticleRenderer::T2dParticleRenderer()
{
    mNonIndexed = TConfig::GetConfig("brokenindexedverts", "").to_int() != 0;
    ++mParticleSystems;
}

str T2dParticleRenderer::GetLuaInitString() const
{
    return "pPosition = Allocate(2);\npUp = Allocate(2);\npScale = Allocate(1);\npColor = Allocate(4);\n"
           "pFrame = Allocate(1);\n";
}

void T2dParticleRenderer::SetRendererOption(const str& name, const float values[4])
{
    if (name != str("blendmode"))
        return;
    const float mode = values[0] > 0 ? values[0] : 0;
    if (!(mode <= static_cast<float>(TRenderer::kBlendMultiplicative))) {
        WriteDbg("T2dParticleRenderer: unknown blend mode %g; normal blending used.", static_cast<double>(values[0]));
        mBlendMode = TRenderer::kBlendNormal;
        return;
    }
    mBlendMode = static_cast<uint32_t>(mode);
}

void T2dParticleRenderer::SetTexture(std::shared_ptr<TTexture> texture)
{
    mTexture = std::move(texture);
    if (mTexture)
        mQuadSize = TVec2(static_cast<float>(mTexture->GetWidth()), static_cast<float>(mTexture->GetHeight()));
}

void T2dParticleRenderer::GrowBuffers(int capacity, int vertsPerQuad)
{
    const size_t needed = static_cast<size_t>(capacity) * static_cast<size_t>(vertsPerQuad);
    if (needed > mVertBuffer.size()) {
        TTransformedLitVert blank{};
        blank.rhw = 0.5f;
        mVertBuffer.assign(needed, blank);
    }
    const size_t quads = static_cast<size_t>(std::min(capacity, kMaxQuadsPerBatch));
    if (!mNonIndexed && quads * 6 > mIndices.size()) {
        mIndices.resize(quads * 6);
        for (size_t q = 0; q < quads; ++q) {
            const auto base = static_cast<uint16_t>(q * 4);
            uint16_t* i = &mIndices[q * 6];
            i[0] = base;
            i[1] = static_cast<uint16_t>(base + 1);
            i[2] = static_cast<uint16_t>(base + 2);
            i[3] = static_cast<uint16_t>(base + 1);
            i[4] = static_cast<uint16_t>(base + 3);
            i[5] = static_cast<uint16_t>(base + 2);
        }
    }
}

void T2dParticleRenderer::Draw(const TVec3& origin, float alpha, const TParticleList& live, int capacity)
{
    if (capacity <= 0)
        return;
    TRenderer* renderer = TRenderer::GetInstance();
    const int vertsPerQuad = mNonIndexed ? 6 : 4;
    // The live list never outgrows the pool, but the buffer must hold whatever is written.
    const int quadsWanted = std::max(capacity, static_cast<int>(live.size()));
    GrowBuffers(quadsWanted, vertsPerQuad);

    renderer->SetTexture(mTexture);
    renderer->SetBlendMode(static_cast<TRenderer::EBlendMode>(mBlendMode));

    TFrameSource frames;
    if (mTexture && mTexture->IsKindOf(TAnimatedTexture::ClassId())) {
        frames.texture = static_cast<TAnimatedTexture*>(mTexture.get());
        const std::pair<int, int> size = frames.texture->GetInternalSize();
        frames.width = static_cast<float>(size.first);
        frames.height = static_cast<float>(size.second);
        frames.adjust = TConfig::IsEnabled(TConfig::kAdjustAnimatedParticles);
        if (const TAnimFrame* first = frames.texture->GetFrame(0)) {
            frames.reg0 = frames.texture->GetRegistrationPoint(0);
            frames.width0 = first->width;
            frames.height0 = first->height;
        }
        // A frame count of 0 leaves nothing to cut quads from.
        if (frames.texture->GetNumFrames() == 0 || frames.width <= 0 || frames.height <= 0)
            frames.texture = nullptr;
    }

    const float qx = origin.x - 0.5f;
    const float qy = origin.y - 0.5f;
    const TCorner* corners = mNonIndexed ? kPlainCorners : kIndexedCorners;
    TTransformedLitVert* out = mVertBuffer.data();
    int quads = 0;
    for (const float* p : live) {
        float cx = qx + p[kPosition];
        float cy = qy + p[kPosition + 1];
        const float scale = p[kScale];
        TVec2 size = mQuadSize;
        float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
        if (frames.texture) {
            const int last = frames.texture->GetNumFrames() - 1;
            const float f = p[kFrame];
            // Frames outside the sheet are held at its ends (NaN reads as frame 0).
            const int frame = f >= static_cast<float>(last) ? last : (f > 0 ? static_cast<int>(f) : 0);
            const TRect rect = frames.texture->GetFrameRect(frame);
            u0 = static_cast<float>(rect.left) / frames.width;
            v0 = static_cast<float>(rect.top) / frames.height;
            u1 = static_cast<float>(rect.right) / frames.width;
            v1 = static_cast<float>(rect.bottom) / frames.height;
            if (frames.adjust) {
                const TAnimFrame* info = frames.texture->GetFrame(frame);
                const TPoint reg = frames.texture->GetRegistrationPoint(frame);
                cx += static_cast<float>(frames.reg0.x - reg.x) * scale +
                      static_cast<float>((info->width - frames.width0) / 2) * scale;
                cy += static_cast<float>(frames.reg0.y - reg.y) * scale +
                      static_cast<float>((info->height - frames.height0) / 2) * scale;
                size = TVec2(static_cast<float>(info->width), static_cast<float>(info->height));
            }
        }
        const float hx = size.x * scale;
        const float hy = size.y * scale;
        const float ux = p[kUp];
        const float uy = p[kUp + 1];
        TColor32 color(TColor(p[kColor], p[kColor + 1], p[kColor + 2], p[kColor + 3]));
        color.SetAlpha(ScaledAlpha(color.Alpha(), alpha));
        for (int c = 0; c < vertsPerQuad; ++c) {
            const TCorner& k = corners[c];
            TTransformedLitVert& v = *out++;
            v.position.x = cx - hx * uy * k.ox - hy * ux * k.oy;
            v.position.y = cy - hy * uy * k.oy + hx * ux * k.ox;
            v.position.z = origin.z;
            v.diffuse = color;
            v.uv.x = k.u == 0 ? u0 : u1;
            v.uv.y = k.v == 0 ? v0 : v1;
        }
        ++quads;
    }
    if (quads == 0)
        return;

    if (mNonIndexed) {
        TVertexSet set(mVertBuffer.data(), static_cast<unsigned>(quads * 6));
        renderer->DrawVertices(TRenderer::kTriangleList, set);
        return;
    }
    for (int first = 0; first < quads; first += kMaxQuadsPerBatch) {
        const int count = std::min(kMaxQuadsPerBatch, quads - first);
        TVertexSet set(mVertBuffer.data() + static_cast<size_t>(first) * 4, static_cast<unsigned>(count * 4));
        renderer->DrawIndexedVertices(TRenderer::kTriangleList, set, mIndices.data(), static_cast<unsigned>(count * 6));
    }
}
