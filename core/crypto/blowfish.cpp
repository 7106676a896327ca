#include "core/crypto/blowfish.h"

#include "core/crypto/blowfish_tables.h"

#include <algorithm>
#include <cstring>

TBlowfish::TBlowfish()
{
    std::copy(std::begin(kBlowfishInitP), std::end(kBlowfishInitP), mP.begin());
    for (int b = 0; b < 4; ++b)
        std::copy(std::begin(kBlowfishInitS[b]), std::end(kBlowfishInitS[b]), mS[b].begin());
}

uint32_t TBlowfish::F(uint32_t x) const
{
    return ((mS[0][x >> 24] + mS[1][(x >> 16) & 0xFF]) ^ mS[2][(x >> 8) & 0xFF]) + mS[3][x & 0xFF];
}

void TBlowfish::EncryptBlock(uint32_t& left, uint32_t& right) const
{
    uint32_t l = left, r = right;
    for (int i = 0; i < 16; ++i) {
        l ^= mP[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= mP[16];
    l ^= mP[17];
    left = l;
    right = r;
}

void TBlowfish::DecryptBlock(uint32_t& left, uint32_t& right) const
{
    uint32_t l = left, r = right;
    for (int i = 17; i > 1; --i) {
        l ^= mP[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= mP[1];
    l ^= mP[0];
    left = l;
    right = r;
}

void TBlowfish::Init(const uint8_t* key, int length)
{
    std::copy(std::begin(kBlowfishInitP), std::end(kBlowfishInitP), mP.begin());
    for (int b = 0; b < 4; ++b)
        std::copy(std::begin(kBlowfishInitS[b]), std::end(kBlowfishInitS[b]), mS[b].begin());

    if (key && length > 0) {
        int k = 0;
        for (auto& p : mP) {
            uint32_t word = 0;
            for (int i = 0; i < 4; ++i) {
                word = (word << 8) | key[k];
                k = (k + 1) % length;
            }
            p ^= word;
        }
    }

    uint32_t l = 0, r = 0;
    for (size_t i = 0; i < mP.size(); i += 2) {
        EncryptBlock(l, r);
        mP[i] = l;
        mP[i + 1] = r;
    }
    for (auto& box : mS)
        for (size_t i = 0; i < box.size(); i += 2) {
            EncryptBlock(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
}

static uint32_t LoadBE(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

static void StoreBE(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

void TBlowfish::CryptBuffer(uint8_t* data, size_t size, bool encrypt) const
{
    for (size_t off = 0; off + 8 <= size; off += 8) {
        uint32_t l = LoadBE(data + off), r = LoadBE(data + off + 4);
        if (encrypt)
            EncryptBlock(l, r);
        else
            DecryptBlock(l, r);
        StoreBE(data + off, l);
        StoreBE(data + off + 4, r);
    }
}

std::vector<uint8_t> TBlowfish::EncryptString(const void* source, int length) const
{
    size_t n = length > 0 ? size_t(length) : 0;
    size_t pad = 8 - n % 8;
    std::vector<uint8_t> out(n + pad, uint8_t(pad));
    if (n)
        std::memcpy(out.data(), source, n);
    CryptBuffer(out.data(), out.size(), true);
    return out;
}

std::vector<uint8_t> TBlowfish::DecryptString(const void* source, int length) const
{
    // Nothing to read a padding count from: an empty block deciphers to nothing.
    if (!source || length <= 0)
        return {};
    size_t s = size_t(length);
    std::vector<uint8_t> out((s + 7) / 8 * 8, 0);
    std::memcpy(out.data(), source, s);
    CryptBuffer(out.data(), out.size(), false);
    // Encryption always adds 1 to 8 bytes of padding, so any other count means a wrong key
    // or damaged data; taking it at its word would hand back garbage of a plausible size.
    int pad = int8_t(out[s - 1]);
    if (pad < 1 || pad > 8 || size_t(pad) > s)
        return {};
    out.resize(s - size_t(pad));
    return out;
}
