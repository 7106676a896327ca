#include "core/config/config.h"
#include "core/crypto/cheat_code.h"
#include "core/crypto/encrypt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

str MakeCode(const char* key, const char* computerId)
{
    TEncrypt enc(key);
    const unsigned n = unsigned(strlen(computerId));
    unsigned need = enc.EncryptBinary(computerId, n, nullptr, 0, true);
    std::vector<char> text(need);
    EXPECT_EQ(enc.EncryptBinary(computerId, n, text.data(), need, true), 0u);
    return str(text.data());
}

class CheatCodeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TConfig::Clear();
        InstallCheatDecoder();
    }
    void TearDown() override
    {
        TConfig::SetCheatDecoder(nullptr);
        TConfig::Clear();
    }
};

TEST_F(CheatCodeTest, CodeForThisComputerTurnsCheatModeOn)
{
    TConfig::SetConfig(TConfig::kComputerId, "ABCDEF012345");
    TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
    TConfig::SetConfig("cheatcode", MakeCode("Rw4TnQ8vLpXe", "ABCDEF012345"));
    EXPECT_EQ(TConfig::GetConfig(TConfig::kCheatMode, "unset"), str("1"));
    EXPECT_EQ(DecodeCheatCode("Rw4TnQ8vLpXe", MakeCode("Rw4TnQ8vLpXe", "ABCDEF012345")), str("ABCDEF012345"));
}

TEST_F(CheatCodeTest, CodeForAnotherComputerOrKeyTurnsItOff)
{
    TConfig::SetConfig(TConfig::kComputerId, "ABCDEF012345");
    TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
    TConfig::SetConfig("cheatcode", MakeCode("Rw4TnQ8vLpXe", "OTHERMACHINE"));
    EXPECT_EQ(TConfig::GetConfig(TConfig::kCheatMode, "unset"), str("0"));
    TConfig::SetConfig("cheatcode", MakeCode("ZZZZZZZZZZZZ", "ABCDEF012345"));
    EXPECT_EQ(TConfig::GetConfig(TConfig::kCheatMode, "unset"), str("0"));
    TConfig::SetConfig("cheatcode", "garbage!");
    EXPECT_EQ(TConfig::GetConfig(TConfig::kCheatMode, "unset"), str("0"));
}

TEST_F(CheatCodeTest, CodeBeforeKeyIsJudgedOnceTheKeyArrives)
{
    TConfig::SetConfig(TConfig::kComputerId, "ABCDEF012345");
    TConfig::SetConfig("cheatcode", MakeCode("Rw4TnQ8vLpXe", "ABCDEF012345"));
    EXPECT_EQ(TConfig::GetConfig(TConfig::kCheatMode, "unset"), str("unset"));
    TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
    EXPECT_EQ(TConfig::GetConfig(TConfig::kCheatMode, "unset"), str("1"));
}

}  // namespace
