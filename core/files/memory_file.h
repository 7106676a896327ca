#pragma once
// A block of program memory served as a read-only file. Blocks are identified in the
// resource map by a registry number, not by address: "&<block id>,<size>".

#include <cstdint>

#include "core/files/file.h"

class TMemoryFile : public TFileData
{
public:
    TMemoryFile() = default;
    ~TMemoryFile() override = default;

    // Maps `name` (lower-cased) to the block; null `data` removes the name. The block must
    // stay valid and unchanged while the name is registered.
    static void AddFile(TResourceMap& resourceMap, const str& name, const void* data, unsigned int size);

    bool Open(const str& reference, eFileMode mode) override;
    void Close() override;
    // Steps back one byte; nothing at the start.
    void Unget() override;
    void Seek(long offset, eFileSeek whence) override;
    long Size() override { return static_cast<long>(mSize); }
    long Tell() override { return static_cast<long>(mPosition); }
    unsigned long Read(void* buffer, unsigned long count) override;
    unsigned long Write(const void*, unsigned long) override { return 0; }
    bool AtEOF() override { return mPosition == mSize; }

private:
    const unsigned char* mBlock = nullptr;
    uint32_t mPosition = 0;
    uint32_t mSize = 0;
    eFileMode mMode = kFileRead;
};
