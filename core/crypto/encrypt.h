#pragma once
// Enciphers and deciphers byte blocks and texts with one key for the life of the object,
// optionally as Base64 text (followed by a zero byte) so the result can travel in text.

#include "core/crypto/blowfish.h"
#include "core/text/str.h"

#include <memory>

class TEncrypt
{
public:
    // The key text is fitted to 12 characters (filled up with "A" or cut), its last three
    // become "AAA", and its Base64 decoding (9 bytes) keys the cipher.
    explicit TEncrypt(const str& key);
    ~TEncrypt();
    TEncrypt(const TEncrypt&) = delete;
    TEncrypt& operator=(const TEncrypt&) = delete;

    // Both return 0 when the output was written to destination, otherwise the capacity that
    // would be needed (pass a null destination to ask). Decryption yields size 0 for a
    // block that does not decipher to valid padding.
    unsigned EncryptBinary(const void* source, unsigned length, void* destination, unsigned capacity, bool base64);
    unsigned DecryptBinary(const void* source, unsigned length, void* destination, unsigned capacity, bool base64);

    // Size of the last output written by EncryptBinary or DecryptBinary.
    unsigned GetLastSize() const;

    // Deciphers a Base64 text; the plain text up to its first zero byte, empty on failure.
    str DecryptStr(const str& text);

private:
    std::unique_ptr<TBlowfish> mCipher;
};
