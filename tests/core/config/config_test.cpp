#include "core/config/config.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Stands in for the real decryption: a code "for:<id>" made with key "k" decodes to <id>.
str FakeDecoder(const str& key, const str& code)
{
    if (key != "k" || code.find(str("for:")) != 0)
        return str("garbage");
    return code.substr(4);
}

str EmptyDecoder(const str&, const str&)
{
    return str("");
}

class Config : public testing::Test
{
protected:
    void SetUp() override
    {
        TConfig::Clear();
        TConfig::SetCheatDecoder(FakeDecoder);
        TConfig::SetLegacyLineWrap(false);
    }
    void TearDown() override
    {
        TConfig::Clear();
        TConfig::SetCheatDecoder(nullptr);
    }
};

TEST_F(Config, EmptyStoredValueBeatsDefault)
{
    EXPECT_STREQ(TConfig::GetConfig("missing", "def").c_str(), "def");
    EXPECT_EQ(TConfig::Entries().count(str("missing")), 0u);
    TConfig::SetConfig("blank", "");
    EXPECT_STREQ(TConfig::GetConfig("blank", "def").c_str(), "");
    TConfig::SetConfig("blank", "v2");
    EXPECT_STREQ(TConfig::GetConfig("blank", "def").c_str(), "v2");
    EXPECT_STREQ(TConfig::GetConfig("Blank", "case").c_str(), "case");
}

TEST_F(Config, IsEnabled)
{
    EXPECT_FALSE(TConfig::IsEnabled("nothing"));
    TConfig::SetConfig("zero", "0");
    TConfig::SetConfig("two", "2");
    TConfig::SetConfig("word", "abc");
    EXPECT_FALSE(TConfig::IsEnabled("zero"));
    EXPECT_TRUE(TConfig::IsEnabled("two"));
    EXPECT_FALSE(TConfig::IsEnabled("word"));
}

TEST_F(Config, CheatCodeBeforeKeyIsEvaluatedWhenKeyArrives)
{
    TConfig::SetConfig(TConfig::kComputerId, "ABCD");
    TConfig::SetConfig("cheatcode", "for:ABCD");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "unset").c_str(), "unset");
    // Looking at both keys leaves an empty key entry behind.
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kEncryptionKey, "def").c_str(), "");
    TConfig::SetConfig(TConfig::kEncryptionKey, "k");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "unset").c_str(), "1");
    EXPECT_TRUE(TConfig::IsEnabled(TConfig::kCheatMode));
}

TEST_F(Config, CheatCodeForAnotherComputerTurnsCheatsOff)
{
    TConfig::SetConfig(TConfig::kComputerId, "ABCD");
    TConfig::SetConfig(TConfig::kEncryptionKey, "k");
    TConfig::SetConfig("cheatcode", "for:ABCD");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "").c_str(), "1");
    TConfig::SetConfig("cheatcode", "for:WXYZ");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "").c_str(), "0");
    TConfig::SetConfig(TConfig::kEncryptionKey, "other");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "").c_str(), "0");
    // An emptied code leaves the mode as it was.
    TConfig::SetConfig(TConfig::kEncryptionKey, "k");
    TConfig::SetConfig("cheatcode", "for:ABCD");
    TConfig::SetConfig("cheatcode", "");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "").c_str(), "1");
}

TEST_F(Config, FailedDecodingNeverMatchesAMissingComputerId)
{
    TConfig::SetCheatDecoder(EmptyDecoder);
    TConfig::SetConfig(TConfig::kEncryptionKey, "k");
    TConfig::SetConfig("cheatcode", "anything");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "").c_str(), "0");
}

TEST_F(Config, WithoutDecoderCheatModeStaysUnchanged)
{
    TConfig::SetCheatDecoder(nullptr);
    TConfig::SetConfig(TConfig::kComputerId, "ABCD");
    TConfig::SetConfig(TConfig::kEncryptionKey, "k");
    TConfig::SetConfig("cheatcode", "for:ABCD");
    EXPECT_STREQ(TConfig::GetConfig(TConfig::kCheatMode, "unset").c_str(), "unset");
}

TEST_F(Config, LegacyLineWrapTurnsOnWhateverTheValue)
{
    EXPECT_FALSE(TConfig::LegacyLineWrap());
    TConfig::SetConfig("legacylinewrap", "0");
    EXPECT_TRUE(TConfig::LegacyLineWrap());
    EXPECT_STREQ(TConfig::GetConfig("legacylinewrap", "").c_str(), "0");
}

TEST_F(Config, SettingFromAnEntryOfTheTable)
{
    TConfig::SetConfig("utf8mode", "1");
    TConfig::SetConfig("utf8modeinit", TConfig::GetConfig("utf8mode", ""));
    EXPECT_STREQ(TConfig::GetConfig("utf8modeinit", "").c_str(), "1");
    TConfig::Clear();
    EXPECT_TRUE(TConfig::Entries().empty());
}

// A flag is set by its key text, so two keys sharing one text would turn each other on.
TEST_F(Config, EveryKeyHasItsOwnText)
{
    const char* keys[] = {
        TConfig::kGameName,
        TConfig::kGameVersion,
        TConfig::kUTF8Mode,
        TConfig::kEncryptionKey,
        TConfig::kZvGameHandle,
        TConfig::kZvGameModeName,
        TConfig::kZvGameMedalName,
        TConfig::kComputerId,
        TConfig::kCheatMode,
        TConfig::kOrlanvue,
        TConfig::kInstallKey,
        TConfig::kDownloadURL,
        TConfig::kVerboseDebug,
        TConfig::kOverlayWindowMouseEvents,
        TConfig::kAutoMergeMask,
        TConfig::kTextGraphicSpriteRender,
        TConfig::kAdjustAnimatedParticles,
        TConfig::kSpriteAlwaysTestChildren,
        TConfig::kHiscoreAnonymous,
        TConfig::kHiscoreLocalOnly,
        TConfig::kKeepOGGUncompressed,
    };
    std::set<std::string> texts;
    for (const char* key : keys) {
        ASSERT_NE(key, nullptr);
        EXPECT_NE(key[0], '\0');
        EXPECT_TRUE(texts.insert(key).second) << key;
    }
}

}  // namespace
