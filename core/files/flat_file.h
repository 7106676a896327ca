#pragma once
// An entry inside a flat-file archive (".zvp") behind a TFile. Archives are read-only.

#include <cstdint>
#include <vector>

#include "core/files/file.h"

class TFlatFile : public TFileData
{
public:
    TFlatFile() = default;
    ~TFlatFile() override = default;

    // Registers the archives of `folder` (names containing ".zvp", sorted) in the map.
    static void InitFlatFiles(const str& folder, TResourceMap& resourceMap);
    // Reads one archive's directory into the map; a damaged archive is logged and skipped.
    static void ReadFlatFile(TResourceMap& resourceMap, const str& path);

    // `reference` is "@<archive index>:<offset>,<length>".
    bool Open(const str& reference, eFileMode mode) override;
    void Close() override;
    void Unget() override;
    void Seek(long offset, eFileSeek whence) override;
    long Size() override { return static_cast<long>(mSize); }
    long Tell() override { return static_cast<long>(mPosition); }
    unsigned long Read(void* buffer, unsigned long count) override;
    unsigned long Write(const void*, unsigned long) override { return 0; }
    // At the end of the entry, or the archive below it ran out.
    bool AtEOF() override { return mAtEnd || mPosition >= mSize; }

    // The archive list: an archive's index is its position here.
    static std::vector<str> mFlatFiles;

private:
    TFile mArchive;
    eFileMode mMode = kFileRead;
    uint32_t mOffset = 0;
    uint32_t mSize = 0;
    uint32_t mPosition = 0;
    bool mAtEnd = false;
};
