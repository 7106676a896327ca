#include "ui/screen/image.h"

#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "ui/style/window_style.h"
#include "ui/window/window_manager.h"

TV_REGISTER_WINDOW(TImage, []() -> TWindow* { return new TImage(true); });

namespace {

constexpr float kQuarterTurn = 1.5707964f;

void Invalidate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

}  // namespace

TImage::TImage(bool layered)
{
    if (layered)
        AddFlags(kLayered);
    SetFlags(GetFlags() | kOpaque);
}

TImage::~TImage() = default;

void TImage::Init(TWindowStyle& style)
{
    const str image = style.GetString("image", "");
    const str mask = style.GetString("mask", "");
    const float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    const bool alpha = style.GetBool("alpha", false);
    const bool mipmap = style.GetBool("mipmap", false);
    const bool hflip = style.GetBool("hflip", false);
    const bool vflip = style.GetBool("vflip", false);
    if (style.GetBool("rotate", false))
        mRotate = true;

    unsigned int flags = 0;
    if (alpha) {
        flags = TTexture::kGetAlpha;
        SetFlags(GetFlags() & ~kOpaque);
    }
    if (mipmap)
        flags |= TTexture::kGetMipmap;
    mDrawFlags = (hflip ? TDrawSpec::kFlipH : 0) | (vflip ? TDrawSpec::kFlipV : 0);

    if (!image.empty()) {
        std::shared_ptr<TTexture> texture =
            mask.empty() ? TTexture::Get(image, flags) : TTexture::GetMerged(image, mask, flags);
        SetTexture(texture, scale);
    }
    TWindow::Init(style);
    mSizedByChildren = !image.empty() && !mTexture && (GetWindowWidth() == 0 || GetWindowHeight() == 0);
    if (mSizedByChildren)
        SetFlags(GetFlags() & ~kOpaque);
}

void TImage::PostChildrenInit(TWindowStyle& style)
{
    if (mSizedByChildren)
        FitToChildren();
    mSizedByChildren = false;
    // Placed again with the size it now has.
    TWindow::PostChildrenInit(style);
}

void TImage::SizeToTexture()
{
    if (!mTexture)
        return;
    const int w = static_cast<int>(static_cast<float>(mTexture->GetWidth()) * mScale + 0.5f);
    const int h = static_cast<int>(static_cast<float>(mTexture->GetHeight()) * mScale + 0.5f);
    if (mRotate)
        SetWindowSize(h, w);
    else
        SetWindowSize(w, h);
}

void TImage::SetTexture(std::shared_ptr<TTexture> texture, float scale)
{
    mTexture = std::move(texture);
    mScale = scale;
    SizeToTexture();
    Invalidate();
}

void TImage::SetRotate(bool rotate)
{
    if (rotate == mRotate)
        return;
    mRotate = rotate;
    SizeToTexture();
    Invalidate();
}

void TImage::SetAlpha(float alpha)
{
    mAlpha = alpha;
    const bool opaque = alpha == 1.0f && mTexture && !mTexture->HasAlpha();
    SetFlags(opaque ? GetFlags() | kOpaque : GetFlags() & ~kOpaque);
    Invalidate();
}

void TImage::SetDrawFlags(unsigned int flags)
{
    mDrawFlags = flags;
    Invalidate();
}

void TImage::Draw()
{
    if (!mTexture)
        return;
    TRenderer* renderer = TRenderer::GetInstance();
    const bool began = renderer->Begin2d();
    TDrawSpec spec(TVec2(0, 0), mAlpha, mScale, mDrawFlags | TDrawSpec::kUseCentre);
    spec.color = TColor(1, 1, 1, 1);
    spec.blendMode = -1;
    spec.centre = TVec2(0, 0);
    if (mRotate) {
        spec.centre = TVec2(0, static_cast<float>(mTexture->GetHeight()));
        spec.matrix.Rotate(kQuarterTurn);
    }
    mTexture->DrawSprite(spec);
    if (began)
        renderer->End2d();
}
