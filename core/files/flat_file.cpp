#include "core/files/flat_file.h"

#include <algorithm>
#include <cstring>

#include "core/debug/debug_log.h"
#include "core/files/archive_format.h"
#include "core/files/directory_search.h"
#include "core/files/path_util.h"

using namespace tv_files;

std::vector<str> TFlatFile::mFlatFiles;

void TFlatFile::InitFlatFiles(const str& folder, TResourceMap& resourceMap)
{
    std::vector<str> archives;
    TDirectorySearch search(TFile::ToDiskPath(folder).c_str());
    str name;
    while (search.GetNextFile(&name, nullptr)) {
        if (name.find(str(".zvp")) != str::npos)
            archives.push_back(name);
    }
    std::sort(archives.begin(), archives.end());
    for (const str& archive : archives)
        ReadFlatFile(resourceMap, str("::") + folder + "/" + archive);
}

void TFlatFile::ReadFlatFile(TResourceMap& resourceMap, const str& path)
{
    TFile archive;
    if (!archive.Open(path, kFileRead)) {
        WriteDbg("Archive %s skipped: it cannot be opened", path.c_str());
        return;
    }
    std::vector<TArchiveEntry> entries;
    if (!ReadArchiveDirectory(archive, path, entries))
        return;
    const int index = static_cast<int>(mFlatFiles.size());
    mFlatFiles.push_back(path);
    for (const TArchiveEntry& e : entries) {
        str reference = str::getFormatted("@%d:%u,%u", index, e.offset, e.length);
        resourceMap[Lower(e.name)] = TResourceRef{eResourceKind::kArchive, reference};
    }
}

bool TFlatFile::Open(const str& reference, eFileMode mode)
{
    Close();
    const char* text = reference.c_str();
    const char* colon = std::strchr(text, ':');
    const char* comma = std::strchr(text, ',');
    uint64_t index = 0, offset = 0, size = 0;
    if (text[0] != '@' || !colon || !comma || !ParseNumber(text + 1, &index) || !ParseNumber(colon + 1, &offset) ||
        !ParseNumber(comma + 1, &size) || index >= mFlatFiles.size() || offset > UINT32_MAX || size > UINT32_MAX) {
        WriteDbg("Archive entry reference %s is not valid", text);
        return false;
    }
    if (!mArchive.Open(mFlatFiles[index], kFileRead))
        return false;
    // The archive may have changed on disk since its directory was read.
    if (offset + size > static_cast<uint64_t>(mArchive.Size())) {
        WriteDbg("Archive %s no longer holds the entry at %s", mFlatFiles[index].c_str(), text);
        mArchive.Close();
        return false;
    }
    mOffset = static_cast<uint32_t>(offset);
    mSize = static_cast<uint32_t>(size);
    mMode = mode;
    mAtEnd = false;
    mPosition = 0;
    mArchive.Seek(static_cast<long>(mOffset), kSeekStart);
    return true;
}

void TFlatFile::Close()
{
    mSize = 0;
    mPosition = 0;
    mArchive.Close();
    mAtEnd = true;
}

unsigned long TFlatFile::Read(void* buffer, unsigned long count)
{
    if (!mArchive.IsValid() || !buffer)
        return 0;
    const unsigned long remaining = mSize - mPosition;
    if (count > remaining) {
        count = remaining;
        mAtEnd = true;
    }
    unsigned char* out = static_cast<unsigned char*>(buffer);
    if (mMode == kFileReadText) {
        unsigned long kept = 0;
        while (kept < count && mPosition < mSize) {
            unsigned char c = 0;
            if (mArchive.Read(&c, 1) != 1) {
                mAtEnd = true;
                break;
            }
            ++mPosition;
            if (c != 13)
                out[kept++] = c;
        }
        return kept;
    }
    unsigned long got = mArchive.Read(out, count);
    mPosition += static_cast<uint32_t>(got);
    if (got < count)
        mAtEnd = true;
    return got;
}

void TFlatFile::Seek(long offset, eFileSeek whence)
{
    bool inside = false;
    mPosition = SeekTarget(mPosition, mSize, offset, whence, &inside);
    if (inside)
        mAtEnd = false;
    mArchive.Seek(static_cast<long>(mOffset) + static_cast<long>(mPosition), kSeekStart);
}

void TFlatFile::Unget()
{
    if (mPosition == 0)
        return;
    --mPosition;
    mAtEnd = false;
    // Reposition rather than push back, so repeated steps back stay in line with the entry.
    mArchive.Seek(static_cast<long>(mOffset) + static_cast<long>(mPosition), kSeekStart);
}
