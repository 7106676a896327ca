#include "core/files/asset_map.h"
#include "render/texture/texture.h"

void TTexture::RegisterAssetLoaders()
{
    TAssetLoader loader;
    loader.classId = ClassId();
    loader.key = [](const str& requested, const str&) {
        return TTextureData::TextureHandle(requested, false, false, false);
    };
    loader.load = [](const str& resolved) -> std::shared_ptr<TAsset> { return Get(resolved, 0); };
    TAssetMap::RegisterLoader("jpg", loader);
    TAssetMap::RegisterLoader("png", loader);
}
