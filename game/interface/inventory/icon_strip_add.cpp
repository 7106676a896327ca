// The add animation of the icon strip and its drawing.

#include <algorithm>

#include "game/interface/inventory/icon_strip.h"
#include "game/script/prevent_clipping.h"
#include "game/script/df_log.h"
#include "game/world/inventory/inventory.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"
#include "ui/window/window_manager.h"

namespace {

const TVec2 kScreenCentre(400, 300);

// Centred on the position, scaled.
TDrawSpec PlacedSpec(const TVec2& scale, const TVec2& position)
{
    TDrawSpec spec;
    spec.matrix.Scale(scale.x, scale.y);
    spec.matrix[2] = TVec3(position.x, position.y, 1);
    spec.alpha = 1.0f;
    return spec;
}

void Redraw()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

}  // namespace

void tIconStrip::StartAddAnimation(const str& key, std::shared_ptr<TTexture> picture)
{
    if (!picture) {
        LOGIT("tIconStrip[%s]: no picture for the added item %s\n", GetName().c_str(), key.c_str());
        return;
    }
    mAddState = kBlinkBefore;
    mFrame = mBlink = 0;
    mAddingItem = key;
    mFlying = TSprite::Create(0, std::move(picture));
    SetFlyingSpec(kScreenCentre, TVec2(1, 1));
    mHalo = mHaloTexture ? TSprite::Create(0, mHaloTexture) : nullptr;
    PrepHaloSpec(TVec2(1, 1), kScreenCentre);
    if (mHalo)
        mHalo->SetVisible(false);
}

void tIconStrip::PrepHaloSpec(const TVec2& scale, const TVec2& position)
{
    if (mHalo)
        mHalo->mSpec = PlacedSpec(scale, position);
}

void tIconStrip::SetFlyingSpec(const TVec2& position, const TVec2& scale)
{
    mFlying->mSpec = PlacedSpec(scale, position);
    mFlying->mSpec.blendMode = TRenderStates::kBlendNormal;
}

bool tIconStrip::OnTaskAnimate()
{
    ++mFrame;
    switch (mAddState) {
    case kBlinkBefore: Blink(true); break;
    case kFly: Fly(); break;
    case kBlinkAfter: Blink(false); break;
    default: mAddingItem = str(); break;
    }
    return true;
}

void tIconStrip::Blink(bool before)
{
    if (mFrame >= kBlinkFrames) {
        mFrame = 0;
        ++mBlink;
    }
    if (mBlink > kBlinks) {
        mFrame = mBlink = 0;
        if (!before) {
            FinishAddAnimation();
            return;
        }
        mAddState = kFly;
    }
    if (mHalo)
        mHalo->SetVisible(mAddState != kFly && mBlink % 2 == 1);
    Redraw();
}

void tIconStrip::Fly()
{
    const int index = mInventory ? mInventory->GetInventoryIndex(mAddingItem) : -1;
    const std::shared_ptr<TTexture> picture = mFlying ? mFlying->GetTexture() : nullptr;
    if (index < 0 || !picture) {
        // The item went while it flew: nothing is left to show.
        FinishAddAnimation();
        return;
    }
    const float p = std::min(1.0f, float(mFrame) / float(kFlyFrames));
    const float slotX = (float(index) - mInventory->GetScrollX()) * float(mGapX) + float(mGapX / 2);
    const TVec2 slot = StripToScreen(TVec2(slotX, float(mIconHeight / 2)));
    const TVec2 position(kScreenCentre.x + (slot.x - kScreenCentre.x) * p,
                         kScreenCentre.y + (slot.y - kScreenCentre.y) * p);
    const float width = float(std::max(1u, picture->GetWidth()));
    const float height = float(std::max(1u, picture->GetHeight()));
    const TVec2 size(width + (kFlyEndSize - width) * p, height + (kFlyEndSize - height) * p);
    const TVec2 scale(size.x / width, size.y / height);
    SetFlyingSpec(position, scale);
    if (mFrame >= kFlyFrames) {
        mAddState = kBlinkAfter;
        mFrame = mBlink = 0;
        PrepHaloSpec(scale, position);
    }
    Redraw();
}

void tIconStrip::FinishAddAnimation()
{
    mAddState = kIdle;
    mFrame = mBlink = 0;
    mAddingItem = str();
    mFlying = nullptr;
    mHalo = nullptr;
    LOGIT("COMPLETED ZOOM SLIDE\n");
    Redraw();
}

void tIconStrip::PostDraw()
{
    if (!mFlying)
        return;
    TRenderer* renderer = TRenderer::GetInstance();
    tPreventClipping clip;
    renderer->PushViewport(TRect(0, 0, 800, 600));
    const bool began = renderer->Begin2d();
    if (mHalo)
        mHalo->Draw(TDrawSpec(), 0);
    mFlying->Draw(TDrawSpec(), 0);
    if (began)
        renderer->End2d();
    renderer->PopViewport();
}
