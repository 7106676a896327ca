#pragma once
// The 2D particle renderer: every particle is one coloured, optionally textured screen quad.
// Members it declares, in this order (10 floats): pPosition (2, centre relative to the draw
// origin), pUp (2, the quad's up direction; (0, -1) is upright), pScale (1, times the quad
// size), pColor (4, red, green, blue, alpha in 0..1), pFrame (1, frame of an animated texture).
// With "brokenindexedverts" set the quads go out as six plain vertices instead of four indexed.

#include "particles/render/particle_renderer.h"
#include "render/renderer/render_types.h"

#include <cstdint>
#include <memory>
#include <vector>

class T2dParticleRenderer : public TParticleRenderer
{
public:
    static constexpr int kPrototypeSize = 10;
    // Quads per draw call: their indices must stay within 16 bits.
    static constexpr int kMaxQuadsPerBatch = 16384;

    T2dParticleRenderer();
    ~T2dParticleRenderer() override = default;

    void Draw(const TVec3& origin, float alpha, const TParticleList& live, int capacity) override;
    void SetTexture(std::shared_ptr<TTexture> texture) override;
    void SetRendererOption(const str& name, const float values[4]) override;
    const float* GetPrototypeParticle() const override { return mPrototype; }
    int GetPrototypeParticleSize() const override { return kPrototypeSize; }
    str GetLuaInitString() const override;

    uint32_t GetBlendMode() const { return mBlendMode; }
    TVec2 GetQuadSize() const { return mQuadSize; }
    bool IsIndexed() const { return !mNonIndexed; }

    // Shared by all renderers; they only grow.
    static int mParticleSystems;
    static std::vector<TTransformedLitVert> mVertBuffer;
    static std::vector<uint16_t> mIndices;

private:
    void GrowBuffers(int capacity, int vertsPerQuad);

    uint32_t mBlendMode = 0;
    TVec2 mQuadSize{1, 1};
    float mPrototype[kPrototypeSize] = {0, 0, 0, -1, 1, 1, 1, 1, 1, 0};
    std::shared_ptr<TTexture> mTexture;
    bool mNonIndexed = false;
};
