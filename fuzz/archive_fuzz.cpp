// Reads the input as a ".zvp" archive: its directory, then every entry's bytes. The entries
// it accepts, packed again, must read back to the same names and contents.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/files/archive_format.h"
#include "core/files/file.h"

namespace {

bool ReadEntries(const str& name, std::vector<TArchiveSource>& sources)
{
    TFile file;
    if (!file.Open(name, kFileRead))
        return false;
    std::vector<TArchiveEntry> entries;
    const bool ok = ReadArchiveDirectory(file, name, entries);
    if (ok) {
        for (const TArchiveEntry& entry : entries) {
            TArchiveSource source{entry.name, std::vector<unsigned char>(entry.length)};
            file.Seek(static_cast<long>(entry.offset), kSeekStart);
            if (entry.length && file.Read(source.bytes.data(), entry.length) != entry.length)
                __builtin_trap();  // the directory promised bytes inside the file
            sources.push_back(std::move(source));
        }
    }
    file.Close();
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFile::AddMemoryFile("fuzz/input.zvp", data, static_cast<unsigned>(size));
    std::vector<TArchiveSource> sources;
    const bool ok = ReadEntries("fuzz/input.zvp", sources);
    TFile::AddMemoryFile("fuzz/input.zvp", nullptr, 0);
    if (!ok)
        return 0;

    std::vector<unsigned char> packed;
    if (!BuildArchive(sources, packed))
        return 0;
    TFile::AddMemoryFile("fuzz/again.zvp", packed.data(), static_cast<unsigned>(packed.size()));
    std::vector<TArchiveSource> again;
    if (!ReadEntries("fuzz/again.zvp", again) || again.size() != sources.size())
        __builtin_trap();
    for (size_t i = 0; i < again.size(); ++i)
        if (!(again[i].name == sources[i].name) || again[i].bytes != sources[i].bytes)
            __builtin_trap();
    TFile::AddMemoryFile("fuzz/again.zvp", nullptr, 0);
    return 0;
}
