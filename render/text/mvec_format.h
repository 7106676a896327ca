#pragma once
// The ".mvec" vector font layout and the bytes of the outline command streams, shared by the
// reader, the drawer and the converter tool.
//   header: "MVC4", u16 glyph count, 6 unused bytes
//   records: 18 bytes each, ascending code: u32 code; s16 left, right, top, bottom, advance
//            (font units × 128, y down); u32 stream offset from the block start
//   streams: command bytes below, 16-bit little-endian signed coordinates in 1/128 units

#include <cstddef>
#include <cstdint>

namespace mvec {

constexpr char kMagic[4] = {'M', 'V', 'C', '4'};
constexpr size_t kHeaderSize = 12;
constexpr size_t kRecordSize = 18;
constexpr float kUnit = 1.0f / 128.0f;

enum ECommand : uint8_t
{
    kLayer = 1,        // no arguments
    kFillA = 2,        // 1 byte slot
    kFillB = 3,        // 1 byte slot
    kMove = 4,         // x, y
    kLine = 5,         // x, y
    kCurve = 6,        // cx, cy, x, y
    kDefineColor = 7,  // r, g, b bytes
    kEnd = 8,
};

// Bytes of arguments after a command byte; -1 for a byte that is not a command.
constexpr int ArgumentBytes(uint8_t command)
{
    switch (command) {
    case kLayer:
    case kEnd: return 0;
    case kFillA:
    case kFillB: return 1;
    case kMove:
    case kLine: return 4;
    case kCurve: return 8;
    case kDefineColor: return 3;
    default: return -1;
    }
}

inline int16_t ReadS16(const unsigned char* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}
inline uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadU32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Length of a well-formed stream starting at `p` (end command included), or 0 when it runs past
// `available` bytes or holds a byte that is not a command.
inline size_t StreamLength(const unsigned char* p, size_t available)
{
    size_t i = 0;
    while (i < available) {
        const int args = ArgumentBytes(p[i]);
        if (args < 0)
            return 0;
        if (p[i] == kEnd)
            return i + 1;
        i += 1 + static_cast<size_t>(args);
    }
    return 0;
}

}  // namespace mvec
