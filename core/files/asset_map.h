#pragma once
// A user's own set of assets, kept alive for the map's lifetime and loaded by name with a
// guessed file type. Each asset kind registers its loader for its file types.

#include <functional>
#include <map>
#include <memory>

#include "core/debug/debug_log.h"
#include "core/files/asset.h"

// How one file type is loaded. `key` gives the asset-manager key from the requested name
// (backslashes already turned into "/", query included) and the query ("?..." or empty);
// without it the requested name is the key. `load` gets the resolved file name followed by
// the query. A cached asset is reused only when it is of class `classId`.
struct TAssetLoader
{
    TAssetClassId classId = 0;
    std::function<str(const str& requested, const str& query)> key;
    std::function<std::shared_ptr<TAsset>(const str& resolved)> load;
};

class TTexture;
class TSound;

class TAssetMap
{
public:
    TAssetMap() = default;
    virtual ~TAssetMap() = default;

    // Registers the loader for a type text ("png", "xml", ...), replacing an earlier one.
    static void RegisterLoader(const str& type, TAssetLoader loader);
    static void UnregisterLoader(const str& type);

    // Whether the map holds a live asset under the name; a missing name is left behind empty.
    bool QueryAsset(const str& name);
    // Stores `asset` under `name`, or, when it is empty, finds and loads the file.
    // `quiet` silences the log lines.
    void AddAsset(const str& name, const std::shared_ptr<TAsset>& asset = nullptr, bool quiet = false);
    // Loads every name of a list ended by a null pointer.
    void AddAssets(const char** names);

    // Looks a name up, loading it when mAutoLoad is set. T defaults to the engine's type and
    // is open so that the map does not depend on the renderer or the sound layer.
    template <class T = TTexture>
    std::shared_ptr<T> GetTexture(const str& name)
    {
        std::shared_ptr<TAsset> found = Lookup(name);
        if (!found)
            WriteDbg("Texture asset not found: %s (auto load set to %s)", name.c_str(), mAutoLoad ? "true" : "false");
        return AssetCast<T>(found);
    }
    template <class T = TSound>
    std::shared_ptr<T> GetSound(const str& name)
    {
        std::shared_ptr<TAsset> found = Lookup(name);
        if (!found)
            WriteDbg("Sound asset not found: %s", name.c_str());
        return AssetCast<T>(found);
    }

    bool mAutoLoad = false;

private:
    // The pointer under the name, loaded first when it is missing and mAutoLoad is set.
    std::shared_ptr<TAsset> Lookup(const str& name);

    std::map<str, std::shared_ptr<TAsset>> mAssets;
};

// The sound key for a name and its query: "%s;%d;%d" of name, 0 and the group number
// after "group=" in the query (0 without one).
str SoundHandle(const str& name, const str& query);
