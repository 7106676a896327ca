#pragma once
// Shared, loaded resources (textures, animated textures, sounds, models, compiled scripts)
// and the process-wide registry of weak references to them.

#include <cstdint>
#include <map>
#include <memory>

#include "core/system/class_id.h"
#include "core/text/str.h"

// Class identity of the asset family: the engine-wide scheme.
using TAssetClassId = TClassId;

// Declares ClassId, GetTypeName and IsKindOf for an asset class derived from `Base`.
#define TV_ASSET_CLASS(Name, Base) TV_CLASS(Name, Base)

class TAsset : public std::enable_shared_from_this<TAsset>
{
public:
    TV_CLASS_ROOT(TAsset)
    virtual ~TAsset() = default;
    // Gives up data that can be rebuilt, and rebuilds it.
    virtual void Release() {}
    virtual void Restore() {}

    // This asset as a T, or empty when it is not one (or is not held by a shared pointer).
    template <class T>
    std::shared_ptr<T> GetCast()
    {
        if (!IsKindOf(T::ClassId()))
            return nullptr;
        std::shared_ptr<TAsset> self = weak_from_this().lock();
        return std::static_pointer_cast<T>(self);
    }
};

// The checked downcast of a possibly empty pointer.
template <class T>
std::shared_ptr<T> AssetCast(const std::shared_ptr<TAsset>& asset)
{
    return asset ? asset->GetCast<T>() : nullptr;
}

class TAssetManager
{
public:
    // The platform's manager; null while there is none.
    static TAssetManager* GetInstance();
    // The platform object installs its manager here (null removes it).
    static void SetInstance(TAssetManager* manager);

    void AddAsset(const str& key, const std::shared_ptr<TAsset>& asset);
    // The asset while it is alive, else empty. A missing key is left behind empty.
    std::shared_ptr<TAsset> GetAsset(const str& key);
    void RemoveAsset(const str& key);

private:
    std::map<str, std::weak_ptr<TAsset>> mAssets;
};
