// The resource map: scans, the asset list and the translation of logical names.

#include <cstdio>
#include <cstring>

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/files/directory_search.h"
#include "core/files/file.h"
#include "core/files/flat_file.h"
#include "core/files/memory_file.h"
#include "core/files/path_util.h"
#include "core/files/regular_file.h"

using namespace tv_files;

TResourceMap TFile::mResourceMap;
std::set<str> TFile::mIgnoredFiles;
str TFile::mUserDir;
str TFile::mCommonDir;
str TFile::mDesktopDir;
str TFile::mResourceDir;
void (*TFile::mRegisterFiles)() = nullptr;

namespace {

constexpr long kMaxAssetListSize = 99999;

void ReadAssetList()
{
    str path = TFile::ToDiskPath("final.txt");
    FILE* f = OpenRegularFile(path);
    if (!f)
        return;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (size < 0 || size > kMaxAssetListSize) {
        WriteDbg("Asset list %s ignored: %ld bytes is over the limit of %ld", path.c_str(), size, kMaxAssetListSize);
    } else {
        char* buffer = new char[size + 1];
        size_t n = std::fread(buffer, 1, static_cast<size_t>(size), f);
        buffer[n] = 0;
        TFile::InternalAddFileMask(buffer, true);
        delete[] buffer;
    }
    std::fclose(f);
}

}  // namespace

void TFile::ScanForResources()
{
    if (mRegisterFiles)
        mRegisterFiles();
    ReadAssetList();
    ScanFolderForResources("assets", "");
    if (TConfig::GetConfig("activex", "") == str("1"))
        return;
    if (!mUserDir.empty())
        ScanFolderForResources(mUserDir, "user:");
    if (!mCommonDir.empty())
        ScanFolderForResources(mCommonDir, "common:");
}

void TFile::ScanFolderForResources(const str& folder, const str& prefix)
{
    // Keys are lower case; the folder's own text keeps its case for the disk paths.
    const str lowerFolder = Lower(folder);
    str keyPrefix;
    str subPath;
    bool prefixed = false;
    if (!prefix.empty()) {
        keyPrefix = prefix == str(".") ? str("") : prefix;
        prefixed = true;
    } else {
        subPath = StartsWith(lowerFolder, "assets") ? After(lowerFolder, 7) : lowerFolder;
        if (!subPath.empty())
            subPath += '/';
    }

    // Archive entries are named relative to the asset folder, so only the asset folder's
    // own archives are read; loose files found below replace their entries.
    if (!prefixed && subPath.empty() && lowerFolder == str("assets"))
        TFlatFile::InitFlatFiles(folder, mResourceMap);

    TDirectorySearch search(ToDiskPath(folder).c_str());
    str name;
    bool isFolder = false;
    while (search.GetNextFile(&name, &isFolder)) {
        const str lowerName = Lower(name);
        const str key = keyPrefix + subPath + lowerName;
        if (mIgnoredFiles.count(key))
            continue;
        const str path = folder + "/" + name;
        if (isFolder) {
            if (lowerName == str(".svn"))
                continue;
            ScanFolderForResources(path, prefixed ? keyPrefix + lowerName + "/" : str(""));
        } else {
            mResourceMap[key] = TResourceRef{eResourceKind::kDisk, path};
        }
    }
}

bool TFile::InternalAddFileMask(const char* text, bool add)
{
    bool clearAll = false;
    if (!text)
        return false;
    const char* p = text;
    for (;;) {
        p += std::strspn(p, " \t\n\r");
        if (!*p)
            break;
        size_t n = std::strcspn(p, " \t\n\r");
        str token = Lower(str(p, n));
        p += n;
        if (token == str("-*")) {
            mIgnoredFiles.clear();
            clearAll = true;
        } else if (add) {
            mIgnoredFiles.insert(token);
        } else {
            mIgnoredFiles.erase(token);
        }
    }
    return clearAll;
}

TResourceRef TFile::Resolve(const str& name, bool forReading)
{
    const str key = Lower(name);

    auto it = mResourceMap.find(key);
    if (it != mResourceMap.end()) {
        // A file removed since the scan (or never written) is not there to be read.
        if (forReading && it->second.kind == eResourceKind::kDisk && !IsReadable(ToDiskPath(it->second.value)))
            return {};
        return it->second;
    }

    // Raw paths keep their case: they lie outside the asset folder.
    if (StartsWith(key, "::")) {
        str rest = After(name, 2);
        if (IsReadable(ToDiskPath(rest)))
            return TResourceRef{eResourceKind::kDisk, rest};
        return {};
    }

    if (forReading && mIgnoredFiles.count(key))
        return {};

    static const struct
    {
        const char* prefix;
        const str* folder;
    } kFolders[] = {{"user:", &mUserDir}, {"common:", &mCommonDir}, {"desktop:", &mDesktopDir}};
    for (const auto& f : kFolders) {
        if (!StartsWith(key, f.prefix))
            continue;
        if (f.folder->empty())
            return {};
        str path = *f.folder + "/" + After(name, static_cast<unsigned>(std::strlen(f.prefix)));
        // A file that cannot be written is still read; saving over it is refused.
        if (forReading && !IsReadable(path))
            return {};
        TResourceRef ref{eResourceKind::kDisk, path};
        mResourceMap[key] = ref;
        return ref;
    }

    if (StartsWith(key, "assets/") || StartsWith(key, "assets\\"))
        return Resolve(After(name, 7), forReading);

    return {};
}

str TFile::TranslateResource(const str& name, bool forReading)
{
    return Resolve(name, forReading).value;
}

bool TFile::Exists(const str& name)
{
    return !Resolve(name, true).value.empty();
}

bool TFile::GetNextFile(const str& folder, str* name, bool includeSubfolders)
{
    if (!name)
        return false;
    const str lowerFolder = Lower(folder);
    const unsigned folderLength = lowerFolder.length();
    const str start = name->empty() ? lowerFolder : *name;

    auto it = mResourceMap.upper_bound(start);
    if (!includeSubfolders) {
        while (it != mResourceMap.end() && After(it->first, folderLength + 1).find('/') != str::npos)
            ++it;
    }
    if (it == mResourceMap.end())
        return false;
    if (it->first.substr(0, static_cast<int>(folderLength)) != lowerFolder)
        return false;
    *name = it->first;
    return true;
}

void TFile::AddMemoryFile(const str& name, const void* data, unsigned int size)
{
    TMemoryFile::AddFile(mResourceMap, name, data, size);
}

void TFile::ShutDownFileSystem()
{
    mResourceMap.clear();
}
