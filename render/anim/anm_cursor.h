#pragma once
// Reads the binary animation form from memory: little-endian 32-bit integers and floats,
// length-prefixed strings and four-letter tags, each checked against the bytes left.

#include "core/text/str.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class TAnmCursor
{
public:
    explicit TAnmCursor(const std::vector<char>& bytes) : mBytes(bytes) {}

    size_t Remaining() const { return mBytes.size() - mPos; }
    // False (nothing consumed) when fewer than four bytes are left.
    bool ReadInt(int32_t* value);
    bool ReadFloat(float* value);
    // A length n ≤ 0 is the empty text; a zero byte inside the n bytes ends the text early.
    // False when n is more than the bytes left.
    bool ReadString(str* value);
    // True when the next four bytes are `tag`; they are consumed either way when present.
    bool ReadTag(const char* tag);

private:
    const std::vector<char>& mBytes;
    size_t mPos = 0;
};
