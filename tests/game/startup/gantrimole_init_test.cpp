// The game's start-up values.

#include "game/startup/gantrimole_init.h"

#include "core/config/config.h"
#include "core/crypto/encrypt.h"

#include <gtest/gtest.h>

namespace {

TEST(GantrimoleInit, StoresTheGamesConfiguration)
{
    TConfig::Clear();
    GantrimoleInit();
    EXPECT_STREQ(TConfig::GetConfig("gamename", "").c_str(), "tessivander");
    EXPECT_STREQ(TConfig::GetConfig("utf8mode", "").c_str(), "1");
    EXPECT_STREQ(TConfig::GetConfig("encryptionkey", "").c_str(), "Rw4TnQ8vLpXe");
    EXPECT_STREQ(TConfig::GetConfig("zvgamehandle", "").c_str(), "tessivander");
    EXPECT_STREQ(TConfig::GetConfig("zvgamemodename1", "").c_str(), "story_mode");
    EXPECT_STREQ(TConfig::GetConfig("zvgamemedalname1", "").c_str(), "tessivander_chapterone");
    EXPECT_STREQ(TConfig::GetConfig("zvgamemedalname12", "").c_str(), "tessivander_fini");
    EXPECT_STREQ(TConfig::GetConfig("zvgamemedalname13", "none").c_str(), "none");

    // The cheat check is live: a code set now is judged against the computer id.
    TConfig::SetConfig("computerid", "ABCDEFGHIJKLMNOP");
    TEncrypt enc("Rw4TnQ8vLpXe");
    const char* id = "ABCDEFGHIJKLMNOP";
    const unsigned need = enc.EncryptBinary(id, 16, nullptr, 0, true);
    std::vector<char> code(need + 1, 0);
    ASSERT_EQ(enc.EncryptBinary(id, 16, code.data(), need, true), 0u);
    TConfig::SetConfig("cheatcode", code.data());
    EXPECT_STREQ(TConfig::GetConfig("cheatmode", "").c_str(), "1");
    TConfig::Clear();
}

}  // namespace
