#include "render/texture/texture.h"

#include "render/renderer/display_handler.h"
#include "render/renderer/renderer.h"

#include <atomic>

namespace {

std::atomic<int> gLiveTextures{0};

}  // namespace

TTexture::TTexture() : mData(TRenderer::GetInstance()->GetDisplayHandler()->NewTextureData())
{
    ++gLiveTextures;
}

TTexture::~TTexture()
{
    --gLiveTextures;
    if (mData && mData->mFileName.empty()) {
        if (TAssetManager* manager = TAssetManager::GetInstance())
            manager->RemoveAsset(RuntimeKey());
    }
}

int TTexture::GetLiveCount()
{
    return gLiveTextures.load();
}

str TTexture::RuntimeKey() const
{
    return str::getFormatted("%lx:tex:r", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(this)));
}

void TTexture::Release()
{
    if (mData)
        mData->Release();
}

void TTexture::Restore()
{
    if (mData)
        mData->Restore();
}

std::shared_ptr<TTexture> TTexture::InternalGet(const str& key)
{
    TAssetManager* manager = TAssetManager::GetInstance();
    if (!manager)
        return nullptr;
    // Checked: a key held by another kind of asset is no texture.
    return AssetCast<TTexture>(manager->GetAsset(key));
}

std::shared_ptr<TTexture> TTexture::InternalNew(str key)
{
    std::shared_ptr<TTexture> texture = std::make_shared<TTexture>();
    if (key.empty())
        key = texture->RuntimeKey();
    if (TAssetManager* manager = TAssetManager::GetInstance())
        manager->AddAsset(key, texture);
    return texture;
}

std::shared_ptr<TTexture> TTexture::Get(const str& name, unsigned int flags)
{
    const str key = TTextureData::TextureHandle(name, (flags & kGetAlpha) != 0, (flags & kGetMipmap) != 0, false);
    if (std::shared_ptr<TTexture> hit = InternalGet(key))
        return hit;
    std::shared_ptr<TTexture> texture = InternalNew(key);
    TTextureData* data = texture->mData.get();
    if (flags & kGetAlpha)
        data->SetFlag(TTextureData::kAlpha, true);
    else if (flags & kGetOpaque)
        data->SetFlag(TTextureData::kAlpha, false);
    else
        data->SetFlag(TTextureData::kAlphaFromFile, true);
    data->SetFlag(TTextureData::kMipmap, (flags & kGetMipmap) != 0);
    if (!data->LoadFile(name.c_str(), nullptr))
        return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::GetSimple(const str& name)
{
    const str key = TTextureData::TextureHandle(name, false, false, true);
    if (std::shared_ptr<TTexture> hit = InternalGet(key))
        return hit;
    std::shared_ptr<TTexture> texture = InternalNew(key);
    texture->mData->SetFlag(TTextureData::kSimple | TTextureData::kAlphaFromFile, true);
    if (!texture->mData->LoadFile(name.c_str(), nullptr))
        return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::GetMerged(const str& name, const str& mask, unsigned int mipmap)
{
    const str key = TTextureData::TextureHandle(name, mask, (mipmap & 1) != 0, false);
    if (std::shared_ptr<TTexture> hit = InternalGet(key))
        return hit;
    std::shared_ptr<TTexture> texture = InternalNew(key);
    texture->mData->SetFlag(TTextureData::kAlpha, true);
    texture->mData->SetFlag(TTextureData::kMipmap, (mipmap & 1) != 0);
    if (!texture->mData->LoadFile(name.c_str(), mask.c_str()))
        return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::Create(unsigned int width, unsigned int height, bool alpha)
{
    std::shared_ptr<TTexture> texture = InternalNew(str());
    texture->mData->SetFlag(TTextureData::kAlpha, alpha);
    texture->mData->SetFlag(TTextureData::kCreated, true);
    if (!texture->mData->CreateSurface(width, height, true))
        return nullptr;
    return texture;
}

std::pair<int, int> TTexture::GetInternalSize() const
{
    if (!mData)
        return {0, 0};
    const int x = (static_cast<int>(mData->mWidth) + 2 * mData->mXMargin + 1) & ~1;
    const int y = (static_cast<int>(mData->mHeight) + 2 * mData->mYMargin + 1) & ~1;
    return {x, y};
}

str TTexture::GetName() const
{
    if (!mData)
        return str(".");
    return mData->mFileName + "." + mData->mMaskName;
}

bool TTexture::Lock(TColor32** pixels, unsigned int* pitch)
{
    return mData && mData->Lock(pixels, pitch);
}

void TTexture::Unlock()
{
    if (mData)
        mData->Unlock();
}

void TTexture::CopyPixels(int x, int y, const TRect* rect, std::shared_ptr<TTexture> dest)
{
    if (!mData || TRenderer::GetInstance()->InDraw())
        return;
    if (!rect) {
        mData->CopyPixels(x, y, nullptr, dest);
        return;
    }
    TRect r = *rect;
    if (r.left < 0)
        r.left = 0;
    if (r.top < 0)
        r.top = 0;
    if (static_cast<unsigned>(r.right) > mData->mWidth)
        r.right = static_cast<int>(mData->mWidth);
    if (static_cast<unsigned>(r.bottom) > mData->mHeight)
        r.bottom = static_cast<int>(mData->mHeight);
    mData->CopyPixels(x, y, &r, dest);
}

void TTexture::DrawSprite(const TDrawSpec& spec)
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!mData || !renderer->In2d() || IsSimple())
        return;
    const TRect src = (spec.flags & TDrawSpec::kUseSourceRect)
                          ? spec.source
                          : TRect(0, 0, static_cast<int>(mData->mWidth), static_cast<int>(mData->mHeight));
    const float w = static_cast<float>(src.right - src.left);
    const float h = static_cast<float>(src.bottom - src.top);
    TVec2 o = (spec.flags & TDrawSpec::kUseCentre)
                  ? TVec2(-spec.centre.x, -spec.centre.y)
                  : TVec2((src.left - src.right) * 0.5f, (src.top - src.bottom) * 0.5f);
    TVec2 corners[4] = {o, TVec2(o.x + w, o.y), TVec2(o.x + w, o.y + h), TVec2(o.x, o.y + h)};
    if (spec.flags & TDrawSpec::kFlipV) {
        std::swap(corners[0].y, corners[3].y);
        std::swap(corners[1].y, corners[2].y);
    }
    if (spec.flags & TDrawSpec::kFlipH) {
        std::swap(corners[0].x, corners[1].x);
        std::swap(corners[3].x, corners[2].x);
    }
    const float sw = static_cast<float>(mData->mSurfaceWidth ? mData->mSurfaceWidth : 1);
    const float sh = static_cast<float>(mData->mSurfaceHeight ? mData->mSurfaceHeight : 1);
    const TVec2 uv[2] = {TVec2(src.left / sw, src.top / sh), TVec2(src.right / sw, src.bottom / sh)};
    TTransformedLitVert verts[4];
    CreateVertsFromRect(TVec2(0, 0), verts, corners, uv, spec.matrix, spec.alpha, spec.color);
    if (!renderer->IsCurrentTexture(this))
        renderer->SetTexture(GetCast<TTexture>());
    if (spec.blendMode != -1)
        renderer->SetBlendMode(static_cast<TRenderer::EBlendMode>(spec.blendMode));
    TVertexSet set(verts, 4);
    renderer->DrawVertices(TRenderer::kTriangleFan, set);
}

void TTexture::DrawSprite(float x, float y, float alpha, float scale, float rotation, unsigned int flags)
{
    if (!mData || !TRenderer::GetInstance()->In2d())
        return;
    TDrawSpec spec;
    if (scale != 1.0f)
        spec.matrix.Scale(scale);
    spec.matrix[2] = TVec3(x, y, 1);
    spec.matrix.Rotate(rotation);
    spec.alpha = alpha;
    spec.flags = flags;
    DrawSprite(spec);
}
