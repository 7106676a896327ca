#include "core/crypto/encrypt.h"

#include "core/text/base64.h"

#include <cstring>
#include <vector>

TEncrypt::TEncrypt(const str& key) : mCipher(std::make_unique<TBlowfish>())
{
    str text = key;
    if (text.length() != 12)
        text = (text + str("AAAAAAAAAAAA")).substr(0, 12);
    if (text.substr(9) != str("AAA"))
        text = text.substr(0, 9) + str("AAA");

    const unsigned long keyLength = Base64DecodeGetLength(12);
    std::vector<uint8_t> bytes(keyLength, 0);
    Base64Decode(bytes.data(), text.c_str(), 12);
    mCipher->Init(bytes.data(), int(keyLength));
}

TEncrypt::~TEncrypt() = default;

unsigned TEncrypt::GetLastSize() const
{
    return mCipher->mLastSize;
}

unsigned TEncrypt::EncryptBinary(const void* source, unsigned length, void* destination, unsigned capacity, bool base64)
{
    std::vector<uint8_t> cipher = mCipher->EncryptString(source, int(length));
    const unsigned m = unsigned(cipher.size());
    if (!base64) {
        if (!destination || int(capacity) < int(m))
            return m;
        std::memcpy(destination, cipher.data(), m);
        mCipher->mLastSize = m;
        return 0;
    }
    const unsigned b = unsigned(Base64EncodeGetLength(m));
    if (!destination || int(capacity) < int(b + 1))
        return b + 1;
    const unsigned long written = Base64Encode(destination, cipher.data(), m);
    static_cast<char*>(destination)[written] = 0;
    mCipher->mLastSize = b + 1;
    return 0;
}

unsigned TEncrypt::DecryptBinary(const void* source, unsigned length, void* destination, unsigned capacity, bool base64)
{
    std::vector<uint8_t> plain;
    if (base64) {
        std::vector<uint8_t> scratch(Base64DecodeGetLength(length) + 1, 0);
        const unsigned long k = length ? Base64Decode(scratch.data(), source, length) : 0;
        plain = mCipher->DecryptString(scratch.data(), int(k));
    } else
        plain = mCipher->DecryptString(source, int(length));

    const unsigned r = unsigned(plain.size());
    if (!destination || int(capacity) < int(r))
        return r;
    if (r)
        std::memcpy(destination, plain.data(), r);
    mCipher->mLastSize = r;
    return 0;
}

str TEncrypt::DecryptStr(const str& text)
{
    const unsigned needed = DecryptBinary(text.c_str(), text.length(), nullptr, 0, true);
    if (int(needed) < 1)
        return str("");
    std::vector<char> buffer(needed + 1, 0);
    if (DecryptBinary(text.c_str(), text.length(), buffer.data(), needed, true) != 0)
        return str("");
    return str(buffer.data(), strnlen(buffer.data(), needed));
}
