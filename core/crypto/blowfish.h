#pragma once
// The Blowfish block cipher: 64-bit blocks, 16 rounds, keys of 1 to 56 bytes.
// Blocks are taken as two 32-bit words, most significant byte first, each block on its own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TBlowfish
{
public:
    TBlowfish();

    // Key schedule; a key of length 0 or less leaves the start tables unkeyed.
    void Init(const uint8_t* key, int length);

    void EncryptBlock(uint32_t& left, uint32_t& right) const;
    void DecryptBlock(uint32_t& left, uint32_t& right) const;

    // Pads with p = 8 - (n mod 8) bytes of value p (1 to 8), then enciphers block by block.
    std::vector<uint8_t> EncryptString(const void* source, int length) const;
    // Deciphers (a ragged tail is filled up with zero bytes) and strips the padding; a block
    // whose last byte is no valid padding count gives an empty result.
    std::vector<uint8_t> DecryptString(const void* source, int length) const;

    uint32_t mLastSize = 0;  // size of the last output copied out by TEncrypt

private:
    uint32_t F(uint32_t x) const;
    void CryptBuffer(uint8_t* data, size_t size, bool encrypt) const;

    std::array<std::array<uint32_t, 256>, 4> mS;
    std::array<uint32_t, 18> mP;
};
