#include "core/files/asset.h"

namespace {
TAssetManager* gAssetManager = nullptr;
}

TAssetManager* TAssetManager::GetInstance()
{
    return gAssetManager;
}

void TAssetManager::SetInstance(TAssetManager* manager)
{
    gAssetManager = manager;
}

void TAssetManager::AddAsset(const str& key, const std::shared_ptr<TAsset>& asset)
{
    mAssets[key] = asset;
}

std::shared_ptr<TAsset> TAssetManager::GetAsset(const str& key)
{
    return mAssets[key].lock();
}

void TAssetManager::RemoveAsset(const str& key)
{
    mAssets.erase(key);
}
