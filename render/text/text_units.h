#pragma once
// Quarter-pixel arithmetic and character decoding shared by text layout and drawing.

#include <cstddef>
#include <cstdint>

namespace text_units {

// Half away from zero; held inside the int range.
inline int RoundQ(float v)
{
    if (!(v < 2.0e9f))
        return v != v ? 0 : 2000000000;
    if (!(v > -2.0e9f))
        return -2000000000;
    return v >= 0 ? static_cast<int>(v + 0.5f) : static_cast<int>(v - 0.5f);
}
// Truncation toward zero, held inside the int range.
inline int TruncQ(float v)
{
    if (!(v < 2.0e9f))
        return v != v ? 0 : 2000000000;
    if (!(v > -2.0e9f))
        return -2000000000;
    return static_cast<int>(v);
}
// Quarter pixels to pixels, truncated toward zero.
inline int PxQ(float v)
{
    return RoundQ(v) / 4;
}

struct TDecoded
{
    uint32_t code;  // 0 when the position holds nothing to show
    int length;     // bytes taken, at least 1
};

// The character at text[p], with a backslash taking the next character literally (the backslash
// is never shown; a trailing one shows nothing). Never reads at or past `end`. A sequence cut
// short or broken by a byte that is not a continuation byte takes only its lead byte and gives
// U+FFFD.
inline TDecoded DecodeTextChar(const char* text, int p, int end)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    int skip = 0;
    if (s[p] == '\\') {
        if (p + 1 >= end)
            return {0, 1};
        skip = 1;
        ++p;
    }
    const unsigned lead = s[p];
    int length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length == 1)
        return {lead, 1 + skip};
    uint32_t code = lead & (0x7Fu >> length);
    for (int i = 1; i < length; ++i) {
        if (p + i >= end || (s[p + i] & 0xC0) != 0x80)
            return {0xFFFD, 1 + skip};
        code = (code << 6) | (s[p + i] & 0x3Fu);
    }
    return {code, length + skip};
}

}  // namespace text_units
