#include "render/anim/anm_cursor.h"

#include <cstring>

bool TAnmCursor::ReadInt(int32_t* value)
{
    if (Remaining() < 4)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(mBytes.data() + mPos);
    *value = static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    mPos += 4;
    return true;
}

bool TAnmCursor::ReadFloat(float* value)
{
    int32_t bits = 0;
    if (!ReadInt(&bits))
        return false;
    std::memcpy(value, &bits, sizeof *value);
    return true;
}

bool TAnmCursor::ReadString(str* value)
{
    int32_t n = 0;
    if (!ReadInt(&n))
        return false;
    if (n <= 0) {
        *value = str("");
        return true;
    }
    if (static_cast<size_t>(n) > Remaining())
        return false;
    const char* start = mBytes.data() + mPos;
    const void* zero = std::memchr(start, 0, static_cast<size_t>(n));
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - start) : static_cast<size_t>(n);
    *value = str(start, static_cast<unsigned long>(length));
    mPos += static_cast<size_t>(n);
    return true;
}

bool TAnmCursor::ReadTag(const char* tag)
{
    if (Remaining() < 4)
        return false;
    const bool match = std::memcmp(mBytes.data() + mPos, tag, 4) == 0;
    mPos += 4;
    return match;
}
