#pragma once
// Small text and disk-path helpers shared inside the file layer.

#include <cstdint>

#include "core/files/file.h"
#include "core/text/str.h"

namespace tv_files {

str Lower(const str& s);
bool StartsWith(const str& s, const char* prefix);
// The text after the first `n` characters (empty when shorter).
str After(const str& s, unsigned n);
// Parses the decimal number at `p`, as an unsigned 64-bit value; false when there is none.
bool ParseNumber(const char* p, uint64_t* value);
bool IsReadable(const str& diskPath);

// Where a seek lands inside a block of `size` bytes: a target outside the block (before its
// start too) lands at its end. `inside` tells whether the target was inside.
uint32_t SeekTarget(uint32_t position, uint32_t size, long offset, eFileSeek whence, bool* inside);

}  // namespace tv_files
