// Packs files into a flat-file archive (".zvp") and lists an archive's directory.
//
//   zvpack create OUT.zvp PATH...   a folder adds its files named relative to it,
//                                   a file is added under the path as given
//   zvpack list ARCHIVE             prints name, offset and length per entry

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "core/files/archive_format.h"
#include "core/files/directory_search.h"
#include "core/files/file.h"
#include "core/text/str_view.h"
#include "tools/input/bounded_read.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: zvpack create OUT.zvp PATH...\n       zvpack list ARCHIVE\n");
    return 2;
}

// Game data files are far smaller; a larger input is a mistake (or a device without end).
constexpr size_t kMaxEntrySize = size_t(1) << 28;

bool IsFolder(const str& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Every file below `folder`, as (name inside the archive, disk path).
void CollectFolder(const str& folder, const str& prefix, std::vector<std::pair<str, str>>& out)
{
    TDirectorySearch search(folder.c_str());
    str name;
    bool isFolder = false;
    while (search.GetNextFile(&name, &isFolder)) {
        const str path = folder + "/" + name;
        if (isFolder)
            CollectFolder(path, prefix + name + "/", out);
        else
            out.emplace_back(prefix + name, path);
    }
}

int Create(const char* output, char** paths, int count)
{
    std::vector<std::pair<str, str>> files;
    for (int i = 0; i < count; ++i) {
        std::string_view given(paths[i]);
        while (given.size() > 1 && given.back() == '/')
            given.remove_suffix(1);
        const str path = ToStr(given);
        if (IsFolder(path)) {
            std::vector<std::pair<str, str>> found;
            CollectFolder(path, "", found);
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else {
            std::string_view name = given;
            while (name.size() > 2 && name.substr(0, 2) == "./")
                name.remove_prefix(2);
            files.emplace_back(ToStr(name), path);
        }
    }

    std::vector<TArchiveSource> sources;
    for (const auto& [name, path] : files) {
        TArchiveSource source;
        source.name = name;
        std::vector<char> bytes;
        std::string error;
        if (!ReadBoundedFile(path.c_str(), kMaxEntrySize, &bytes, &error)) {
            std::fprintf(stderr, "zvpack: %s\n", error.c_str());
            return 1;
        }
        source.bytes.assign(bytes.begin(), bytes.end());
        sources.push_back(std::move(source));
    }
    if (!WriteArchive(output, sources)) {
        std::fprintf(stderr, "zvpack: cannot write %s\n", output);
        return 1;
    }
    return 0;
}

int List(const char* archivePath)
{
    TFile archive;
    const str path = str("::") + archivePath;
    if (!archive.Open(path, kFileRead)) {
        std::fprintf(stderr, "zvpack: cannot open %s\n", archivePath);
        return 1;
    }
    std::vector<TArchiveEntry> entries;
    unsigned skipped = 0;
    if (!ReadArchiveDirectory(archive, archivePath, entries, &skipped)) {
        std::fprintf(stderr, "zvpack: %s is not a whole archive\n", archivePath);
        return 1;
    }
    for (const TArchiveEntry& e : entries)
        std::printf("%s\t%u\t%u\n", e.name.c_str(), e.offset, e.length);
    if (skipped) {
        std::fprintf(stderr, "zvpack: %s is damaged: %u entries cannot be read\n", archivePath, skipped);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "create") == 0)
        return Create(argv[2], argv + 3, argc - 3);
    if (argc == 3 && std::strcmp(argv[1], "list") == 0)
        return List(argv[2]);
    return Usage();
}
