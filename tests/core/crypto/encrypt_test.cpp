#include "core/crypto/encrypt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> EncryptBytes(TEncrypt& enc, const std::vector<uint8_t>& plain, bool base64)
{
    unsigned need = enc.EncryptBinary(plain.data(), unsigned(plain.size()), nullptr, 0, base64);
    std::vector<uint8_t> out(need);
    EXPECT_EQ(enc.EncryptBinary(plain.data(), unsigned(plain.size()), out.data(), need, base64), 0u);
    EXPECT_EQ(enc.GetLastSize(), need);
    return out;
}

std::vector<uint8_t> DecryptBytes(TEncrypt& enc, const std::vector<uint8_t>& data, bool base64)
{
    unsigned length = unsigned(data.size());
    if (base64)
        length = unsigned(strlen(reinterpret_cast<const char*>(data.data())));
    unsigned need = enc.DecryptBinary(data.data(), length, nullptr, 0, base64);
    std::vector<uint8_t> out(need);
    EXPECT_EQ(enc.DecryptBinary(data.data(), length, out.data(), need, base64), 0u);
    EXPECT_EQ(enc.GetLastSize(), need);
    return out;
}

std::vector<uint8_t> Bytes(const char* text)
{
    return std::vector<uint8_t>(text, text + strlen(text));
}

TEST(EncryptTest, SizeQueriesFollowThePadding)
{
    TEncrypt enc("Rw4TnQ8vLpXe");
    std::vector<uint8_t> data(16, 'q');
    EXPECT_EQ(enc.EncryptBinary(data.data(), 0, nullptr, 0, false), 8u);
    EXPECT_EQ(enc.EncryptBinary(data.data(), 7, nullptr, 0, false), 8u);
    EXPECT_EQ(enc.EncryptBinary(data.data(), 8, nullptr, 0, false), 16u);
    EXPECT_EQ(enc.EncryptBinary(data.data(), 9, nullptr, 0, false), 16u);
    // 16 enciphered bytes are 24 Base64 characters plus the zero byte.
    EXPECT_EQ(enc.EncryptBinary(data.data(), 8, nullptr, 0, true), 25u);
    EXPECT_EQ(enc.EncryptBinary(data.data(), 0, nullptr, 0, true), 13u);
}

TEST(EncryptTest, TooSmallDestinationIsLeftUntouched)
{
    TEncrypt enc("Rw4TnQ8vLpXe");
    std::vector<uint8_t> data(8, 'q');
    std::vector<uint8_t> out(15, 0xEE);
    EXPECT_EQ(enc.EncryptBinary(data.data(), 8, out.data(), 15, false), 16u);
    EXPECT_EQ(out, std::vector<uint8_t>(15, 0xEE));
    EXPECT_EQ(enc.EncryptBinary(data.data(), 8, out.data(), 15, true), 25u);
    EXPECT_EQ(out, std::vector<uint8_t>(15, 0xEE));

    std::vector<uint8_t> cipher = EncryptBytes(enc, data, false);
    std::vector<uint8_t> plain(7, 0xEE);
    EXPECT_EQ(enc.DecryptBinary(cipher.data(), 16, plain.data(), 7, false), 8u);
    EXPECT_EQ(plain, std::vector<uint8_t>(7, 0xEE));
}

TEST(EncryptTest, RoundTripsWithAndWithoutBase64)
{
    TEncrypt enc("Rw4TnQ8vLpXe");
    for (size_t n : {1u, 7u, 8u, 9u, 100u, 4096u}) {
        std::vector<uint8_t> plain(n);
        for (size_t i = 0; i < n; ++i)
            plain[i] = uint8_t(i * 37 + 11);
        std::vector<uint8_t> raw = EncryptBytes(enc, plain, false);
        EXPECT_EQ(raw.size() % 8, 0u);
        EXPECT_NE(std::vector<uint8_t>(raw.begin(), raw.begin() + long(std::min(n, raw.size()))),
                  std::vector<uint8_t>(plain.begin(), plain.begin() + long(std::min(n, raw.size()))));
        EXPECT_EQ(DecryptBytes(enc, raw, false), plain) << n;

        std::vector<uint8_t> text = EncryptBytes(enc, plain, true);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), 0);
        for (size_t i = 0; i + 1 < text.size(); ++i)
            EXPECT_TRUE(isalnum(text[i]) || text[i] == '+' || text[i] == '/' || text[i] == '=');
        EXPECT_EQ(DecryptBytes(enc, text, true), plain) << n;
    }
}

TEST(EncryptTest, KeyIsFittedToTwelveCharactersEndingInAAA)
{
    std::vector<uint8_t> plain = Bytes("some plain text");
    TEncrypt shortKey("Rw4Tn"), padded("Rw4TnAAAAAAA");
    EXPECT_EQ(EncryptBytes(shortKey, plain, false), EncryptBytes(padded, plain, false));

    TEncrypt a("Rw4TnQ8vLpXe"), b("Rw4TnQ8vLzzz"), c("Rw4TnQ8vLAAA"), d("Rw4TnQ8vL");
    std::vector<uint8_t> ea = EncryptBytes(a, plain, false);
    EXPECT_EQ(ea, EncryptBytes(b, plain, false));
    EXPECT_EQ(ea, EncryptBytes(c, plain, false));
    EXPECT_EQ(ea, EncryptBytes(d, plain, false));
    TEncrypt longer("Rw4TnQ8vLpXeMORE");
    EXPECT_EQ(ea, EncryptBytes(longer, plain, false));

    TEncrypt other("Xw4TnQ8vLpXe");
    EXPECT_NE(ea, EncryptBytes(other, plain, false));
}

TEST(EncryptTest, KeyIsTheBase64DecodingOfTheFittedText)
{
    // "Rw4TnQ8vLAAA" decodes to these nine bytes.
    const uint8_t key[9] = {0x47, 0x0e, 0x13, 0x9d, 0x0f, 0x2f, 0x2c, 0x00, 0x00};
    TBlowfish bf;
    bf.Init(key, 9);
    std::vector<uint8_t> plain = Bytes("0123456789abcdef!");
    std::vector<uint8_t> expected = bf.EncryptString(plain.data(), int(plain.size()));
    TEncrypt enc("Rw4TnQ8vLpXe");
    EXPECT_EQ(EncryptBytes(enc, plain, false), expected);

    // An empty key is keyed all the same, from twelve "A".
    const uint8_t zeros[9] = {};
    bf.Init(zeros, 9);
    TEncrypt empty("");
    EXPECT_EQ(EncryptBytes(empty, plain, false), bf.EncryptString(plain.data(), int(plain.size())));
}

TEST(EncryptTest, DecryptStr)
{
    TEncrypt enc("Rw4TnQ8vLpXe");
    EXPECT_EQ(enc.DecryptStr(""), str(""));
    EXPECT_EQ(enc.DecryptStr(str()), str(""));

    std::vector<uint8_t> text = EncryptBytes(enc, Bytes("cheat-code-for-this-box"), true);
    EXPECT_EQ(enc.DecryptStr(reinterpret_cast<const char*>(text.data())), str("cheat-code-for-this-box"));

    // The text ends at the first zero byte of the plain data.
    std::vector<uint8_t> withZero = {'a', 'b', 0, 'c', 'd'};
    text = EncryptBytes(enc, withZero, true);
    EXPECT_EQ(enc.DecryptStr(reinterpret_cast<const char*>(text.data())), str("ab"));

    // Text enciphered under another key or not enciphered at all never yields garbage of
    // the wrong length or a crash; most such inputs fail the padding check.
    int empties = 0;
    TEncrypt other("ZZZZZZZZZZZZ");
    for (int i = 0; i < 64; ++i) {
        std::vector<uint8_t> p = Bytes("value");
        p.push_back(uint8_t(i));
        text = EncryptBytes(other, p, true);
        str got = enc.DecryptStr(reinterpret_cast<const char*>(text.data()));
        EXPECT_LE(got.length(), 8u);
        empties += got.empty();
    }
    EXPECT_GT(empties, 40);
    // 18 characters decode to at most 14 bytes, so at most 6 plain bytes survive the padding.
    EXPECT_LE(enc.DecryptStr("not base64 at all!").length(), 6u);
}

}  // namespace
