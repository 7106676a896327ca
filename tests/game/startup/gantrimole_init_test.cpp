// The game's start-up values.

#include "game/startup/gantrimole_init.h"

#include "core/config/config.h"
#include "core/crypto/encrypt.h"
#include "core/files/file.h"
#include "sound/sources/sound_data_source_factory.h"

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

TEST(GantrimoleInit, RegistersTheSpeexDecoderForSpxNames)
{
    // Not an Ogg stream: only the Speex decoder opens it (and says so); without a builder
    // for "spx" the factory gives up without reading it.
    static const char kNotSpeex[] = "definitely not an ogg stream";
    TFile::AddMemoryFile("voice/probe.spx", kNotSpeex, sizeof kNotSpeex - 1);
    GantrimoleInit();
    testing::internal::CaptureStderr();
    EXPECT_EQ(TSoundDataSourceFactory::Create("voice/probe.spx", true), nullptr);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Speex file voice/probe.spx could not be read"), std::string::npos) << log;
    TFile::AddMemoryFile("voice/probe.spx", nullptr, 0);
    TConfig::Clear();
}

}  // namespace
