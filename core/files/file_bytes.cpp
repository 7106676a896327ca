#include "core/files/file_bytes.h"

#include "core/debug/debug_log.h"

bool ReadFileBytes(const str& name, eFileMode mode, std::vector<char>& bytes)
{
    bytes.clear();
    TFile file;
    if (!file.Open(name, mode))
        return false;
    const long size = file.Size();
    if (size < 0 || size > kMaxDocumentFileSize) {
        WriteDbg("Refusing to read '%s': size %ld", name.c_str(), size);
        return false;
    }
    bytes.resize(size_t(size));
    file.Seek(0, kSeekStart);
    const unsigned long got = size ? file.Read(bytes.data(), (unsigned long)size) : 0;
    // Text mode may drop carriage returns, so a shorter read is fine there.
    if (got != (unsigned long)size && (mode != kFileReadText || got > (unsigned long)size)) {
        WriteDbg("Short read of '%s': %lu of %ld bytes", name.c_str(), got, size);
        bytes.clear();
        return false;
    }
    bytes.resize(got);
    return true;
}
