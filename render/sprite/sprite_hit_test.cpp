#include "core/config/config.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/sprite/sprite_pick.h"
#include "render/texture/texture.h"

namespace {

std::shared_ptr<TTexture> gPickTarget;

// The tested point lands on this pixel of the pick target.
constexpr int kPickPixel = 1;

}  // namespace

std::shared_ptr<TTexture> GetPickTarget()
{
    if (!gPickTarget)
        gPickTarget = TTexture::Create(4, 4, true);
    return gPickTarget;
}

void ReleasePickTarget()
{
    gPickTarget.reset();
}

bool TSprite::HitTest(const TPoint& point, const TDrawSpec& parent, int alphaThreshold, int depth)
{
    if (!mTexture && !TConfig::IsEnabled(TConfig::kSpriteAlwaysTestChildren))
        return false;
    if (!mVisible)
        return false;
    const TRect r = GetRect(parent, depth);
    if (point.x < r.left || point.x >= r.right || point.y < r.top || point.y >= r.bottom)
        return false;
    if (alphaThreshold < 0)
        return true;

    std::shared_ptr<TTexture> target = GetPickTarget();
    TRenderer* renderer = TRenderer::GetInstance();
    if (!target || !renderer->BeginRenderTarget(target, TRenderer::kRenderTargetAlphaMask))
        return false;
    renderer->FillRect(TURect(kPickPixel, kPickPixel, kPickPixel + 1, kPickPixel + 1), TColor(0, 0, 0, 0), nullptr);
    TDrawSpec q = parent;
    q.matrix[2].x += static_cast<float>(kPickPixel - point.x);
    q.matrix[2].y += static_cast<float>(kPickPixel - point.y);
    const bool began = renderer->Begin2d();
    Draw(q, depth);
    if (began)
        renderer->End2d();
    renderer->EndRenderTarget();

    TColor32* pixels = nullptr;
    unsigned int pitch = 0;
    if (!target->Lock(&pixels, &pitch))
        return false;
    int threshold = alphaThreshold;
    if (renderer->GetOption("16bitmode").to_int() != 0 && threshold >= 241)
        threshold &= ~0xF;
    const bool hit = pixels[kPickPixel * pitch + kPickPixel].Alpha() >= threshold;
    target->Unlock();
    return hit;
}
