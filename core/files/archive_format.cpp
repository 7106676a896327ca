#include "core/files/archive_format.h"

#include "core/files/replace_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/debug/debug_log.h"
#include "core/files/file.h"

namespace {

constexpr char kMagic[4] = {'Z', 'V', 'P', 'K'};
constexpr long kHeaderSize = 8;
constexpr long kSmallestEntry = 1 + 4 + 4;  // no name: length byte, offset, length

uint32_t GetU32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

}  // namespace

bool ReadArchiveDirectory(TFile& archive, const str& path, std::vector<TArchiveEntry>& entries, unsigned* skipped)
{
    entries.clear();
    unsigned left = 0;
    if (!skipped)
        skipped = &left;
    *skipped = 0;
    const long fileSize = archive.Size();
    archive.Seek(0, kSeekStart);

    unsigned char header[kHeaderSize];
    if (archive.Read(header, kHeaderSize) != static_cast<unsigned long>(kHeaderSize) ||
        std::memcmp(header, kMagic, 4) != 0) {
        WriteDbg("Archive %s skipped: no archive header", path.c_str());
        return false;
    }
    const uint32_t stored = GetU32(header + 4);
    if (stored > uint32_t(INT32_MAX)) {
        WriteDbg("Archive %s skipped: damaged header (entry count %u)", path.c_str(), stored);
        return false;
    }
    const int32_t count = static_cast<int32_t>(stored);
    if (count == 0)
        return true;
    if (count > (fileSize - kHeaderSize) / kSmallestEntry) {
        WriteDbg("Archive %s skipped: its directory of %d entries is larger than the file (%ld bytes)", path.c_str(),
                 count, fileSize);
        return false;
    }

    for (int32_t i = 0; i < count; ++i) {
        unsigned char length = 0;
        char name[256];
        unsigned char numbers[8];
        if (archive.Read(&length, 1) != 1 || archive.Read(name, length) != length || archive.Read(numbers, 8) != 8) {
            WriteDbg("Archive %s skipped: its directory is cut short at entry %d of %d", path.c_str(), i + 1, count);
            entries.clear();
            return false;
        }
        name[length] = 0;
        TArchiveEntry entry;
        entry.name = str(name, length);
        entry.offset = GetU32(numbers);
        entry.length = GetU32(numbers + 4);
        if (length == 0 || std::strlen(name) != length) {
            WriteDbg("Archive %s: entry %d has no usable name; skipped", path.c_str(), i + 1);
            ++*skipped;
            continue;
        }
        if (uint64_t(entry.offset) + entry.length > uint64_t(fileSize)) {
            WriteDbg("Archive %s: entry %s (offset %u, length %u) runs past the end of the file (%ld bytes); skipped",
                     path.c_str(), entry.name.c_str(), entry.offset, entry.length, fileSize);
            ++*skipped;
            continue;
        }
        entries.push_back(entry);
    }
    return true;
}

bool BuildArchive(const std::vector<TArchiveSource>& sources, std::vector<unsigned char>& out)
{
    out.clear();
    uint64_t directorySize = kHeaderSize;
    for (const TArchiveSource& s : sources) {
        if (s.name.empty() || s.name.length() > 255) {
            WriteDbg("Archive entry name \"%s\" must be 1 to 255 bytes long", s.name.c_str());
            return false;
        }
        directorySize += 1 + s.name.length() + 8;
    }
    uint64_t offset = directorySize;
    for (const TArchiveSource& s : sources)
        offset += s.bytes.size();
    if (offset > UINT32_MAX || sources.size() > INT32_MAX) {
        WriteDbg("Archive would be %llu bytes; the format holds at most 4 GiB",
                 static_cast<unsigned long long>(offset));
        return false;
    }

    out.insert(out.end(), kMagic, kMagic + 4);
    PutU32(out, static_cast<uint32_t>(sources.size()));
    offset = directorySize;
    for (const TArchiveSource& s : sources) {
        out.push_back(static_cast<unsigned char>(s.name.length()));
        out.insert(out.end(), s.name.c_str(), s.name.c_str() + s.name.length());
        PutU32(out, static_cast<uint32_t>(offset));
        PutU32(out, static_cast<uint32_t>(s.bytes.size()));
        offset += s.bytes.size();
    }
    for (const TArchiveSource& s : sources)
        out.insert(out.end(), s.bytes.begin(), s.bytes.end());
    return true;
}

bool WriteArchive(const str& diskPath, const std::vector<TArchiveSource>& sources)
{
    std::vector<unsigned char> bytes;
    if (!BuildArchive(sources, bytes))
        return false;
    return ReplaceDiskFile(diskPath, bytes.data(), bytes.size());
}
