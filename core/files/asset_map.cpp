#include "core/files/asset_map.h"

#include <cstdlib>

#include "core/files/file.h"

namespace {

// Tried in this order when a name comes without its extension.
const char* const kExtensions[] = {".xml", ".anm", ".jpg", ".png", ".spx", ".ogg", ".mesh", ".lua"};

std::map<str, TAssetLoader>& Loaders()
{
    static std::map<str, TAssetLoader> loaders;
    return loaders;
}

str ForwardSlashes(const str& name)
{
    str r(name);
    r.replace("\\", "/", str::kAll);
    return r;
}

// The text after the last "." of the file name (not of a folder name).
str TypeOf(const str& file)
{
    unsigned dot = file.find('.', str::kFromEnd);
    unsigned slash = file.find('/', str::kFromEnd);
    if (dot == str::npos || (slash != str::npos && slash > dot))
        return str("");
    return file.substr(dot + 1);
}

}  // namespace

void TAssetMap::RegisterLoader(const str& type, TAssetLoader loader)
{
    Loaders()[type] = std::move(loader);
}

void TAssetMap::UnregisterLoader(const str& type)
{
    Loaders().erase(type);
}

bool TAssetMap::QueryAsset(const str& name)
{
    return mAssets[ForwardSlashes(name)] != nullptr;
}

void TAssetMap::AddAsset(const str& name, const std::shared_ptr<TAsset>& asset, bool quiet)
{
    const str requested = ForwardSlashes(name);
    if (asset) {
        mAssets[requested] = asset;
        return;
    }

    str base = requested;
    str query;
    unsigned q = requested.find('?');
    if (q != str::npos) {
        base = requested.substr(0, static_cast<int>(q));
        query = requested.substr(q);
    }

    str file;
    if (TFile::Exists(base)) {
        file = base;
    } else {
        for (const char* ext : kExtensions) {
            if (TFile::Exists(base + ext)) {
                file = base + ext;
                break;
            }
        }
    }
    if (file.empty()) {
        if (!quiet)
            WriteDbg(
                "TAssetMap::AddAsset: Failed to find asset %s with any standard extension (jpg/png/anm/xml/ogg/mesh)",
                requested.c_str());
        return;
    }

    const str resolved = file + query;
    auto loader = Loaders().find(TypeOf(file));
    if (loader != Loaders().end() && loader->second.load) {
        const TAssetLoader& how = loader->second;
        const str key = how.key ? how.key(requested, query) : requested;
        TAssetManager* manager = TAssetManager::GetInstance();
        std::shared_ptr<TAsset> found = manager ? manager->GetAsset(key) : nullptr;
        if (found && how.classId && !found->IsKindOf(how.classId))
            found = nullptr;
        if (!found)
            found = how.load(resolved);
        if (found) {
            if (manager)
                manager->AddAsset(key, found);
            mAssets[requested] = found;
            return;
        }
    }
    if (!quiet)
        WriteDbg("TAssetMap::AddAsset: Error loading %s", resolved.c_str());
}

void TAssetMap::AddAssets(const char** names)
{
    if (!names)
        return;
    for (; *names; ++names)
        AddAsset(*names, nullptr, false);
}

std::shared_ptr<TAsset> TAssetMap::Lookup(const str& name)
{
    const str key = ForwardSlashes(name);
    std::shared_ptr<TAsset>& held = mAssets[key];
    if (held || !mAutoLoad)
        return held;
    AddAsset(key, nullptr, false);
    return mAssets[key];
}

str SoundHandle(const str& name, const str& query)
{
    int group = 0;
    if (!query.empty()) {
        unsigned at = query.find(str("group="));
        if (at != str::npos)
            group = std::atoi(query.c_str() + at + 6);
    }
    return str::getFormatted("%s;%d;%d", name.c_str(), 0, group);
}
