#pragma once
// The flat-file archive layout, shared by the file layer and the packer tool.
// Little-endian: "ZVPK", int32 entry count, then per entry: u8 name length, the name
// bytes, u32 data offset (from the start of the file), u32 data length.

#include <cstdint>
#include <vector>

#include "core/text/str.h"

class TFile;

struct TArchiveEntry
{
    str name;
    uint32_t offset = 0;
    uint32_t length = 0;
};

// Reads and checks the directory of an open archive. False (with a log line naming `path`)
// when the file is not an archive or its directory is cut short or claims more entries
// than the file can hold. Entries whose data lie outside the file, and entries without a
// name, are logged and left out; `skipped` (may be null) receives their number.
bool ReadArchiveDirectory(TFile& archive, const str& path, std::vector<TArchiveEntry>& entries,
                          unsigned* skipped = nullptr);

// One file to pack: its name inside the archive and its bytes.
struct TArchiveSource
{
    str name;
    std::vector<unsigned char> bytes;
};

// Writes an archive to a disk path (through a temporary file and a rename). False, with a
// log line, when a name is empty or longer than 255 bytes, the data exceed 4 GiB, or the
// file cannot be written.
bool WriteArchive(const str& diskPath, const std::vector<TArchiveSource>& sources);

// The archive's bytes for `sources`, as WriteArchive would store them; false on the same
// naming and size errors.
bool BuildArchive(const std::vector<TArchiveSource>& sources, std::vector<unsigned char>& out);
