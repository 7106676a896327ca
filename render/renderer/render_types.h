#pragma once
// The small value types of the drawing interface: screen-space vertices, vertex sets, the
// parameters of one sprite draw.

#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"

#include <cstdint>
#include <memory>

// A screen-space vertex; x and y are pixels of the current viewport. The device reads it
// with a stride of 32 bytes.
struct TTransformedLitVert
{
    TVec3 position;
    float rhw;
    TColor32 diffuse;
    TColor32 specular;
    TVec2 uv;
};
static_assert(sizeof(TTransformedLitVert) == 32, "device stride");

// The same layout, with x and y pixels of the whole target instead of the viewport.
struct TPreScaledTransformedLitVert
{
    TVec3 position;
    float rhw;
    TColor32 diffuse;
    TColor32 specular;
    TVec2 uv;
};
static_assert(sizeof(TPreScaledTransformedLitVert) == 32, "device stride");

// Vertices handed to the display handler; the vertices are not owned.
class TVertexSet
{
public:
    static constexpr uint32_t kTransformed = 2;
    static constexpr uint32_t kPreScaled = 3;

    TVertexSet(TTransformedLitVert* verts, unsigned int count);
    TVertexSet(TPreScaledTransformedLitVert* verts, unsigned int count);
    TVertexSet(const TVertexSet&) = delete;
    TVertexSet& operator=(const TVertexSet&) = delete;

    void SetCount(unsigned int count);
    uint32_t GetKind() const;
    unsigned int GetCount() const;
    // The first vertex; both kinds share one layout.
    const TTransformedLitVert* GetVertices() const;

private:
    // Held inline: a set is made for every sprite drawn, so it must not allocate.
    uint32_t mKind;
    TTransformedLitVert* mVerts;
    uint32_t mCount;
};

// The parameters of one sprite draw.
struct TDrawSpec
{
    static constexpr uint32_t kFlipH = 1;
    static constexpr uint32_t kFlipV = 2;
    static constexpr uint32_t kUseSourceRect = 4;
    static constexpr uint32_t kUseCentre = 8;

    TDrawSpec() = default;
    TDrawSpec(const TVec2& position, float alpha, float scale, unsigned int flags);

    TMat3 matrix;              // the sprite's transform; the translation row is the position
    TVec2 centre;              // origin from the top-left corner, with kUseCentre
    TColor color{1, 1, 1, 1};  // multiplies the texture
    float alpha = 1.0f;
    TRect source{0, 0, 0, 0};  // with kUseSourceRect
    uint32_t flags = 0;
    int32_t blendMode = -1;  // an EBlendMode, or -1 to keep the current one
};

// Fills four vertices (top-left, top-right, bottom-right, bottom-left) from corners, which are
// transformed by the matrix in place, and the top-left and bottom-right texture coordinates.
void CreateVertsFromRect(const TVec2& offset, TTransformedLitVert* verts, TVec2* corners, const TVec2* uv,
                         const TMat3& matrix, float alpha, const TColor& color);
