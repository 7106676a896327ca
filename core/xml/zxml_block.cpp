#include "core/xml/zxml_block.h"

#include "core/debug/debug_log.h"

#include <cstring>
#include <zlib.h>

static uint32_t ReadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

static void WriteLE32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

bool IsZxmlBlock(const void* data, size_t size)
{
    return data && size >= 4 && std::memcmp(data, "ZXML", 4) == 0;
}

bool ZxmlInflate(const void* data, size_t size, std::vector<char>& text)
{
    text.clear();
    if (!IsZxmlBlock(data, size) || size < kZxmlHeaderSize) {
        WriteDbg("ZXML: block of %zu bytes is too short for its header", size);
        return false;
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const uint32_t n = ReadLE32(bytes + 4);
    const uint32_t m = ReadLE32(bytes + 8);
    if (n > size - kZxmlHeaderSize) {
        WriteDbg("ZXML: compressed length %u runs past the end of a %zu-byte block", n, size);
        return false;
    }
    if (m == 0 || m > kZxmlMaxUncompressed) {
        WriteDbg("ZXML: refusing uncompressed length %u", m);
        return false;
    }
    text.resize(m);
    uLongf produced = m;
    const int rc = uncompress(reinterpret_cast<Bytef*>(text.data()), &produced, bytes + kZxmlHeaderSize, n);
    if (rc != Z_OK || produced != m) {
        WriteDbg("ZXML: damaged block (zlib result %d, %lu of %u bytes)", rc, static_cast<unsigned long>(produced), m);
        text.clear();
        return false;
    }
    return true;
}

std::vector<uint8_t> ZxmlDeflate(const void* data, size_t size)
{
    uLongf bound = compressBound(uLong(size));
    std::vector<uint8_t> out(kZxmlHeaderSize + bound);
    compress2(out.data() + kZxmlHeaderSize, &bound, static_cast<const Bytef*>(data), uLong(size), Z_BEST_COMPRESSION);
    out.resize(kZxmlHeaderSize + bound);
    std::memcpy(out.data(), "ZXML", 4);
    WriteLE32(out.data() + 4, uint32_t(bound));
    WriteLE32(out.data() + 8, uint32_t(size));
    return out;
}
