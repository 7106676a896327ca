#pragma once
// The compressed XML form: "ZXML", compressed length n and uncompressed length m (both
// 32-bit little-endian), then n bytes of a zlib stream that inflates to m bytes of text.

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kZxmlHeaderSize = 12;
// Larger stated sizes are refused rather than allocated: no real document comes near.
constexpr uint32_t kZxmlMaxUncompressed = 64u << 20;

// True when the block is long enough to hold the magic and starts with it.
bool IsZxmlBlock(const void* data, size_t size);

// Inflates a block into `text` (exactly m bytes, no terminator added). A short header, a
// compressed length past the end, an oversized or zero m, or a stream that does not inflate
// to exactly m bytes give a log line and false, with `text` left empty.
bool ZxmlInflate(const void* data, size_t size, std::vector<char>& text);

// Packs text into the form (the tools write it; the engine only reads it).
std::vector<uint8_t> ZxmlDeflate(const void* data, size_t size);
