#include "core/text/base64.h"

#include <array>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Indexed by unsigned char so that no byte can read outside the table.
const std::array<unsigned char, 256> kDecode = [] {
    std::array<unsigned char, 256> t{};
    for (unsigned i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
    return t;
}();

}  // namespace

unsigned long Base64EncodeGetLength(unsigned long n)
{
    return 4 * ((n + 2) / 3);
}

unsigned long Base64DecodeGetLength(unsigned long n)
{
    return 3 * ((n + 3) / 4);
}

unsigned long Base64Encode(void* out, const void* in, unsigned long n)
{
    const unsigned char* src = static_cast<const unsigned char*>(in);
    char* dst = static_cast<char*>(out);
    unsigned long w = 0;
    for (unsigned long i = 0; i < n; i += 3) {
        const unsigned long left = n - i;
        const unsigned b0 = src[i];
        const unsigned b1 = left > 1 ? src[i + 1] : 0;
        const unsigned b2 = left > 2 ? src[i + 2] : 0;
        const unsigned v = (b0 << 16) | (b1 << 8) | b2;
        dst[w++] = kAlphabet[(v >> 18) & 63];
        dst[w++] = kAlphabet[(v >> 12) & 63];
        dst[w++] = left > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        dst[w++] = left > 2 ? kAlphabet[v & 63] : '=';
    }
    return w;
}

unsigned long Base64Decode(void* out, const void* in, unsigned long n)
{
    const unsigned char* src = static_cast<const unsigned char*>(in);
    unsigned char* dst = static_cast<unsigned char*>(out);
    unsigned long w = 0;
    for (unsigned long i = 0; i < n; i += 4) {
        // A short last group reads as if filled up with "=".
        unsigned char c[4];
        for (unsigned k = 0; k < 4; ++k)
            c[k] = i + k < n ? src[i + k] : '=';
        const unsigned v = (kDecode[c[0]] << 18) | (kDecode[c[1]] << 12) | (kDecode[c[2]] << 6) | kDecode[c[3]];
        unsigned bytes = 3;
        if (c[3] == '=')
            bytes = c[2] == '=' ? 1 : 2;
        dst[w++] = static_cast<unsigned char>(v >> 16);
        if (bytes > 1)
            dst[w++] = static_cast<unsigned char>(v >> 8);
        if (bytes > 2)
            dst[w++] = static_cast<unsigned char>(v);
    }
    return w;
}
