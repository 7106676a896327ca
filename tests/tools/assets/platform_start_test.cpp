// The platform object started on the assembled folder reads its settings and string table.

#include "platform_fakes.h"

#include "core/config/config.h"
#include "core/platform/platform.h"
#include "core/strings/string_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class AssetsAtStart : public PlatformFixture
{
protected:
    void SetUp() override
    {
        PlatformFixture::SetUp();
        setenv("TESSIVANDER_RESOURCES", TV_ASSETS_RESOURCE_DIR, 1);
    }
};

TEST_F(AssetsAtStart, SettingsAndStringsReachTheProgram)
{
    testing::internal::CaptureStderr();
    auto platform = std::make_unique<TPlatform>(MakeData().release());
    const std::string log = testing::internal::GetCapturedStderr();

    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kHiscoreLocalOnly, "").c_str(), "0") << "the demo keeps an online table";
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kVerboseDebug, "unset").c_str(), "0");
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kAutoMergeMask, "unset").c_str(), "0");
    EXPECT_EQ(windows.Count("strings on"), 1) << "the string table loaded";

    TStringTable* strings = platform->GetStringTable();
    ASSERT_NE(strings, nullptr);
    EXPECT_STREQ(strings->GetString("windowtitle").c_str(), "Tessivander");
    for (const char* label : {"menu_play", "menu_options", "menu_scores", "menu_credits", "menu_quit", "menu_player",
                              "menu_music", "menu_sound", "quit_title", "quit_yes", "quit_no", "scores_title",
                              "scores_empty", "scores_close", "loading"}) {
        const str text = strings->GetString(label);
        EXPECT_STRNE(text.c_str(), "#####") << label;
        EXPECT_GT(text.length(), 0u) << label;
    }
    // Placeholders: another label, numbered arguments and a percent sign.
    EXPECT_STREQ(strings->GetString("quit_question").c_str(), "Do you really want to quit Tessivander?");
    EXPECT_STREQ(strings->GetString("scores_row", "1", "Ann", "500").c_str(), "1. Ann - 500");
    EXPECT_STREQ(strings->GetString("menu_volume_value", "80").c_str(), "80%");
    EXPECT_STREQ(strings->GetString("menu_welcome", "Ann").c_str(), "Welcome, Ann!");
    EXPECT_EQ(log.find("Missing string"), std::string::npos) << log;
}

}  // namespace
