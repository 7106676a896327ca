#pragma once
// A drawable image: a shared asset owning one surface, obtained by file name through the asset
// manager's cache so that every user of the same file and options shares one object.
//   auto tex = TTexture::Get("ui/button.png", 0);
//   if (tex) tex->DrawSprite(100, 50, 1.0f, 1.0f, 0.0f, 0);

#include "core/files/asset.h"
#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"
#include "render/renderer/render_types.h"
#include "render/texture/texture_data.h"

#include <memory>
#include <utility>

class TTexture : public TAsset
{
    TV_ASSET_CLASS(TTexture, TAsset)

public:
    // Flags of Get.
    static constexpr unsigned int kGetMipmap = 1;
    static constexpr unsigned int kGetAlpha = 2;
    static constexpr unsigned int kGetOpaque = 4;

    TTexture();
    ~TTexture() override;

    void Release() override;
    void Restore() override;
    virtual void DrawSprite(float x, float y, float alpha, float scale, float rotation, unsigned int flags);
    virtual void DrawSprite(const TDrawSpec& spec);
    virtual void CopyPixels(int x, int y, const TRect* rect, std::shared_ptr<TTexture> dest);
    // Image size, not surface size.
    virtual unsigned int GetWidth() { return mData ? mData->mWidth : 0; }
    virtual unsigned int GetHeight() { return mData ? mData->mHeight : 0; }

    static std::shared_ptr<TTexture> Get(const str& name, unsigned int flags);
    static std::shared_ptr<TTexture> GetSimple(const str& name);
    static std::shared_ptr<TTexture> GetMerged(const str& name, const str& mask, unsigned int mipmap);
    static std::shared_ptr<TTexture> Create(unsigned int width, unsigned int height, bool alpha);
    // Textures of every kind alive now, for finding what is left behind.
    static int GetLiveCount();
    // Lets an asset map load ".jpg" and ".png" names as textures.
    static void RegisterAssetLoaders();

    // The allocated pixel block's size, from the image size and margins.
    std::pair<int, int> GetInternalSize() const;
    bool IsSimple() const { return mData && mData->HasFlag(TTextureData::kSimple); }
    bool HasAlpha() const { return mData && mData->HasFlag(TTextureData::kAlpha); }
    // File name + "." + mask name.
    str GetName() const;
    bool Lock(TColor32** pixels, unsigned int* pitch);
    void Unlock();
    void MarkMemoryUsed() {}

    TTextureData* GetTextureData() const { return mData.get(); }

protected:
    static std::shared_ptr<TTexture> InternalGet(const str& key);
    static std::shared_ptr<TTexture> InternalNew(str key);

private:
    str RuntimeKey() const;

    std::unique_ptr<TTextureData> mData;
};
