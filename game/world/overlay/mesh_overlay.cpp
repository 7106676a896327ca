#include "game/world/overlay/mesh_overlay.h"

#include <algorithm>
#include <vector>

#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"
#include "render/renderer/renderer.h"

namespace {

constexpr float kScreenWidth = 800, kScreenHeight = 600;

TTransformedLitVert Vertex(const tVector2<float>& p, TColor32 colour)
{
    TTransformedLitVert v{};
    v.position = TVec3(p.x, p.y, 0.1f);
    v.rhw = 0.5f;
    v.diffuse = colour;
    v.specular = TColor32(0, 0, 0, 255);
    return v;
}

// A filled green square from (x - 1, y - 1) to (x + size, y + size), cut to the screen;
// nothing when wholly off it.
void Marker(TRenderer* renderer, const tVector2<float>& p, float size)
{
    const float l = std::max(p.x - 1, 0.0f), t = std::max(p.y - 1, 0.0f);
    const float r = std::min(p.x + size, kScreenWidth), b = std::min(p.y + size, kScreenHeight);
    if (!(l < r && t < b))
        return;
    renderer->FillRect(TURect(uint32_t(l), uint32_t(t), uint32_t(r), uint32_t(b)), TColor(0, 1, 0, 1));
}

void Prepare(TRenderer* renderer)
{
    renderer->SetTexture(nullptr);
    renderer->SetBlendMode(TRenderStates::kBlendNormal);
    renderer->SetCullMode(TRenderStates::kCullNone);
}

}  // namespace

void tMesh::Draw(const tVector2<float>& origin) const
{
    TRenderer* renderer = TRenderer::GetInstance();
    Prepare(renderer);
    std::vector<TTransformedLitVert> triangles;
    triangles.reserve(mPolys.size() * 3);
    for (const tPoly& poly : mPolys) {
        const TColor32 colour = poly.enabled ? TColor32(255, 0, 255, 128) : TColor32(0, 0, 255, 128);
        for (int p : poly.points)
            triangles.push_back(Vertex(ConvertVertToOuterSpace(p) + origin, colour));
    }
    if (!triangles.empty()) {
        TVertexSet set(triangles.data(), unsigned(triangles.size()));
        renderer->DrawVertices(TRenderStates::kTriangleList, set);
    }
    for (const auto& [label, vertex] : mVertLabels)
        Marker(renderer, ConvertVertToOuterSpace(vertex) + origin, 2);
}

void DrawPath(const tVector2<float>& camera)
{
    TRenderer* renderer = TRenderer::GetInstance();
    Prepare(renderer);
    std::vector<TTransformedLitVert> strip;
    for (const tVector2<float>& p : gPath)
        strip.push_back(Vertex(p - camera, TColor32(255, 0, 0, 255)));
    if (strip.size() >= 2) {
        TVertexSet set(strip.data(), unsigned(strip.size()));
        renderer->DrawVertices(TRenderStates::kLineStrip, set);
    }
    Marker(renderer, gTarget - camera, 1);
}
