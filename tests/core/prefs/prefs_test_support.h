#pragma once
// Shared by the preferences tests: a private user folder with the game's key configured,
// and builders for files in the chunk form and in the older XML form.

#include "../xml/user_folder_fixture.h"
#include "core/config/config.h"
#include "core/crypto/encrypt.h"
#include "core/files/file.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kTestKey = "Rw4TnQ8vLpXe";

class PrefsTest : public UserFolderTest
{
public:
    void SetUp() override
    {
        UserFolderTest::SetUp();
        TConfig::Clear();
        TConfig::SetConfig(TConfig::kEncryptionKey, kTestKey);
    }
    void TearDown() override
    {
        TFile::AddMemoryFile("install.txt", nullptr, 0);
        TConfig::Clear();
        UserFolderTest::TearDown();
    }

    // Serves "install.txt" from memory (the text must outlive the test).
    void SetInstallText(const std::string& text)
    {
        mInstallText = text;
        TFile::AddMemoryFile("install.txt", mInstallText.data(), unsigned(mInstallText.size()));
    }

    std::vector<char> Prefs() const { return ReadRaw("prefs.dat"); }
    void WritePrefs(const std::vector<char>& bytes) const { WriteRaw("prefs.dat", bytes.data(), bytes.size()); }

    std::string mInstallText;
};

// Builds chunk files byte by byte, including damaged ones.
class ChunkWriter
{
public:
    ChunkWriter& Raw(const char* tag, const std::vector<char>& payload)
    {
        mBytes.insert(mBytes.end(), tag, tag + 4);
        Le32(uint32_t(payload.size()));
        mBytes.insert(mBytes.end(), payload.begin(), payload.end());
        return *this;
    }
    ChunkWriter& Enciphered(const char* tag, const std::vector<char>& plain)
    {
        TEncrypt encrypt(kTestKey);
        unsigned need = encrypt.EncryptBinary(plain.data(), unsigned(plain.size()), nullptr, 0, false);
        std::vector<char> out(need);
        encrypt.EncryptBinary(plain.data(), unsigned(plain.size()), out.data(), need, false);
        return Raw(tag, out);
    }
    ChunkWriter& Install(const std::string& key) { return Enciphered("IKEY", Text(key)); }
    ChunkWriter& User(uint16_t slot) { return Raw("USER", {char(slot & 0xFF), char(slot >> 8)}); }
    ChunkWriter& Pair(const std::string& key, const std::string& value)
    {
        std::vector<char> plain = {char((key.size() + 1) & 0xFF), char((key.size() + 1) >> 8)};
        std::vector<char> k = Text(key), v = Text(value);
        plain.insert(plain.end(), k.begin(), k.end());
        plain.insert(plain.end(), v.begin(), v.end());
        return Enciphered("KVPR", plain);
    }
    const std::vector<char>& Bytes() const { return mBytes; }

    static std::vector<char> Text(const std::string& s)
    {
        std::vector<char> v(s.begin(), s.end());
        v.push_back(0);
        return v;
    }

private:
    void Le32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(char(v >> (8 * i)));
    }

    std::vector<char> mBytes;
};

// The older form: "<>" document holding data1 (enciphered real document, Base64) and
// data2 (its check number).
inline std::string LegacyFile(const std::string& document, int checkAdjust = 0)
{
    TEncrypt enc(kTestKey);
    unsigned need = enc.EncryptBinary(document.data(), unsigned(document.size()), nullptr, 0, true);
    std::vector<char> text(need);
    enc.EncryptBinary(document.data(), unsigned(document.size()), text.data(), need, true);
    uint32_t check = 0;
    for (size_t i = 0; i < document.size(); ++i)
        check ^= uint32_t(int32_t(int8_t(document[i]))) << ((i % 4) * 8);
    return "<>\n    <data1\n        data=\"" + std::string(text.data()) +
           "\">\n    </data1>\n    <data2\n        data=\"" + std::to_string(int32_t(check) + checkAdjust) +
           "\">\n    </data2>\n</>\n";
}
