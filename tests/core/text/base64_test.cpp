#include "core/text/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string encode(const std::string& in)
{
    std::string out(Base64EncodeGetLength(in.size()), '?');
    out.resize(Base64Encode(out.data(), in.data(), in.size()));
    return out;
}

std::string decode(const std::string& in)
{
    std::string out(Base64DecodeGetLength(in.size()), '?');
    out.resize(Base64Decode(out.data(), in.data(), in.size()));
    return out;
}

TEST(Base64, Lengths)
{
    EXPECT_EQ(Base64EncodeGetLength(0), 0u);
    EXPECT_EQ(Base64EncodeGetLength(1), 4u);
    EXPECT_EQ(Base64EncodeGetLength(3), 4u);
    EXPECT_EQ(Base64EncodeGetLength(4), 8u);
    EXPECT_EQ(Base64DecodeGetLength(6), 6u);
    EXPECT_EQ(Base64DecodeGetLength(8), 6u);
    EXPECT_EQ(Base64DecodeGetLength(0), 0u);
}

TEST(Base64, EncodesWithPadding)
{
    EXPECT_EQ(encode(""), "");
    EXPECT_EQ(encode("f"), "Zg==");
    EXPECT_EQ(encode("fo"), "Zm8=");
    EXPECT_EQ(encode("foo"), "Zm9v");
    EXPECT_EQ(encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(encode(std::string("\xFB\xFF\xBF", 3)), "+/+/");
}

TEST(Base64, Decodes)
{
    EXPECT_EQ(decode("Zg=="), "f");
    EXPECT_EQ(decode("Zm8="), "fo");
    EXPECT_EQ(decode("Zm9vYmFy"), "foobar");
    EXPECT_EQ(decode("+/+/"), std::string("\xFB\xFF\xBF", 3));
    // A length that is not a multiple of 4 reads as padded.
    EXPECT_EQ(decode("QQ"), "A");
    EXPECT_EQ(decode("Zm8"), "fo");
    EXPECT_EQ(decode("Zm9vZg"), "foof");
}

TEST(Base64, RoundTripsEveryByteValue)
{
    for (size_t n = 0; n < 8; ++n) {
        std::string all;
        for (int i = 0; i < 256; ++i)
            all += static_cast<char>((i * 7 + n) & 0xFF);
        all.resize(all.size() - n);
        EXPECT_EQ(decode(encode(all)), all) << n;
    }
}

TEST(Base64, ForeignCharactersAreTolerated)
{
    // Bytes outside the alphabet, high ones included, decode as zero bits.
    std::string junk("\xFF\x80!~", 4);
    std::string out = decode(junk);
    EXPECT_EQ(out, std::string(3, '\0'));
    EXPECT_EQ(decode(std::string("Zm\xFF=", 4)).size(), 2u);
}

}  // namespace
