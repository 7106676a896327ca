#include "engine/asset_loaders.h"

#include "core/script/script_code.h"
#include "render/anim/animated_texture.h"
#include "render/model/model.h"
#include "render/texture/texture.h"

void InstallAssetLoaders()
{
    TTexture::RegisterAssetLoaders();
    TAnimatedTexture::RegisterAssetLoaders();
    TModel::RegisterAssetLoaders();
    TScriptCode::RegisterAssetLoaders();
}
