#include "core/xml/xml_node.h"
#include "core/xml/zxml_block.h"
#include "user_folder_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kDoc = "<root><entry id=\"1\">first</entry><entry id=\"2\">second</entry></root>";

std::vector<uint8_t> Packed(const std::string& text)
{
    return ZxmlDeflate(text.data(), text.size());
}

void SetLE32(std::vector<uint8_t>& block, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        block[at + size_t(i)] = uint8_t(v >> (8 * i));
}

TEST(ZxmlTest, HeaderLayout)
{
    std::vector<uint8_t> block = Packed(kDoc);
    ASSERT_GT(block.size(), kZxmlHeaderSize);
    EXPECT_EQ(std::memcmp(block.data(), "ZXML", 4), 0);
    const uint32_t n = block[4] | block[5] << 8 | block[6] << 16 | uint32_t(block[7]) << 24;
    const uint32_t m = block[8] | block[9] << 8 | block[10] << 16 | uint32_t(block[11]) << 24;
    EXPECT_EQ(n, block.size() - kZxmlHeaderSize);
    EXPECT_EQ(m, kDoc.size());
    std::vector<char> text;
    ASSERT_TRUE(ZxmlInflate(block.data(), block.size(), text));
    EXPECT_EQ(std::string(text.begin(), text.end()), kDoc);
}

TEST(ZxmlTest, CompressedBlockParsesLikeThePlainText)
{
    std::vector<uint8_t> block = Packed(kDoc);
    TXmlNode node;
    EXPECT_TRUE(node.DecompressAndParse(block.data(), block.size()));
    TXmlNode* root = node.GetChild("root");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetChildCount(), 2u);
    EXPECT_EQ(std::string(root->GetChild("entry")->GetContent().c_str()), "first");

    TXmlNode viaString;
    EXPECT_TRUE(viaString.ParseString(reinterpret_cast<const char*>(block.data()), long(block.size())));
    EXPECT_NE(viaString.GetChild("root"), nullptr);
    // Without its size a compressed block cannot be checked, so it is refused.
    TXmlNode noSize;
    EXPECT_FALSE(noSize.ParseString(reinterpret_cast<const char*>(block.data())));
    EXPECT_EQ(noSize.GetChildCount(), 0u);
}

TEST(ZxmlTest, DamagedBlocksAreRefusedWithoutParsing)
{
    const std::vector<uint8_t> good = Packed(kDoc);
    std::vector<std::pair<const char*, std::vector<uint8_t>>> bad;

    bad.push_back({"header only", std::vector<uint8_t>(good.begin(), good.begin() + 12)});
    bad.push_back({"short header", std::vector<uint8_t>(good.begin(), good.begin() + 7)});
    bad.push_back({"truncated stream", std::vector<uint8_t>(good.begin(), good.end() - 5)});
    auto b = good;
    SetLE32(b, 4, 0xFFFFFFF0u);
    bad.push_back({"compressed length past end", b});
    b = good;
    SetLE32(b, 8, 0xFFFFFFFFu);
    bad.push_back({"huge uncompressed length", b});
    b = good;
    SetLE32(b, 8, uint32_t(kDoc.size() + 100));
    bad.push_back({"uncompressed length too large", b});
    b = good;
    SetLE32(b, 8, uint32_t(kDoc.size() - 10));
    bad.push_back({"uncompressed length too small", b});
    b = good;
    SetLE32(b, 8, 0);
    bad.push_back({"zero uncompressed length", b});
    b = good;
    for (size_t i = kZxmlHeaderSize + 2; i < b.size(); i += 3)
        b[i] ^= 0x5A;
    bad.push_back({"corrupted stream", b});

    for (auto& [what, block] : bad) {
        std::vector<char> text;
        EXPECT_FALSE(ZxmlInflate(block.data(), block.size(), text)) << what;
        EXPECT_TRUE(text.empty()) << what;
        TXmlNode node;
        EXPECT_FALSE(node.DecompressAndParse(block.data(), block.size())) << what;
        EXPECT_EQ(node.GetChildCount(), 0u) << what;
    }
}

class XmlFileTest : public UserFolderTest
{
};

TEST_F(XmlFileTest, ParseFilePlainAndCompressed)
{
    WriteRaw("plain.xml", kDoc);
    std::vector<uint8_t> block = Packed(kDoc);
    WriteRaw("packed.xml", block.data(), block.size());

    TXmlNode plain, packed;
    EXPECT_TRUE(plain.ParseFile("user:plain.xml"));
    EXPECT_TRUE(packed.ParseFile("user:packed.xml"));
    EXPECT_EQ(std::string(plain.AsString().c_str()), std::string(packed.AsString().c_str()));
    EXPECT_NE(packed.GetChild("root"), nullptr);
}

TEST_F(XmlFileTest, MissingAndDamagedFilesLeaveTheNodeUnchanged)
{
    TXmlNode node("keep");
    node.SetAttribute("a", "b");
    const std::string before = node.AsString().c_str();
    EXPECT_FALSE(node.ParseFile("user:nothing.xml"));
    EXPECT_EQ(std::string(node.AsString().c_str()), before);

    std::vector<uint8_t> block = Packed(kDoc);
    block.resize(block.size() / 2);
    WriteRaw("half.xml", block.data(), block.size());
    EXPECT_FALSE(node.ParseFile("user:half.xml"));
    EXPECT_EQ(std::string(node.AsString().c_str()), before);
}

}  // namespace
