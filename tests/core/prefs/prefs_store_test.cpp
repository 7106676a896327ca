#include "core/prefs/prefs.h"
#include "prefs_test_support.h"

#include <gtest/gtest.h>

namespace {

using StoreTest = PrefsTest;

std::string S(const str& s)
{
    return s.c_str();
}

TEST_F(StoreTest, MissingUserGivesDefaultWithoutCreatingSlots)
{
    TPrefs prefs(false);
    prefs.SetStr("volume", "5", -1, false);
    EXPECT_EQ(S(prefs.GetStr("volume", "def", 5)), "def");
    EXPECT_EQ(prefs.GetNumUsers(), 0u);
    EXPECT_EQ(S(prefs.GetStr("absent", "def", -1)), "def");
    EXPECT_EQ(S(prefs.GetStr("volume", "def", -2)), "def");
}

TEST_F(StoreTest, IntegersAreStoredAsDecimalText)
{
    TPrefs prefs(false);
    prefs.SetInt("level", 7, -1, false);
    EXPECT_EQ(prefs.GetInt("level", 0, -1), 7);
    EXPECT_EQ(S(prefs.GetStr("level", "", -1)), "7");
    prefs.SetInt("neg", -42, 0, false);
    EXPECT_EQ(prefs.GetInt("neg", 0, 0), -42);
    EXPECT_EQ(prefs.GetInt("missing", 13, 0), 13);
    prefs.SetStr("word", "abc", 0, false);
    EXPECT_EQ(prefs.GetInt("word", 13, 0), 0);
}

TEST_F(StoreTest, SettingAUserGrowsTheSlots)
{
    TPrefs prefs(false);
    prefs.SetStr("name", "Dee", 3, false);
    EXPECT_EQ(prefs.GetNumUsers(), 4u);
    EXPECT_EQ(S(prefs.GetStr("name", "", 3)), "Dee");
    EXPECT_EQ(S(prefs.GetStr("name", "none", 2)), "none");
}

TEST_F(StoreTest, OutOfRangeUsersAreRefused)
{
    TPrefs prefs(false);
    prefs.SetStr("k", "v", -2, false);
    prefs.SetStr("k", "v", 1024, false);
    EXPECT_EQ(prefs.GetNumUsers(), 0u);
    prefs.SetStr("k", "v", 1023, false);
    EXPECT_EQ(prefs.GetNumUsers(), 1024u);
}

TEST_F(StoreTest, DeleteUserMovesLaterUsersDown)
{
    TPrefs prefs(false);
    prefs.SetStr("name", "zero", 0, false);
    prefs.SetStr("name", "one", 1, false);
    prefs.SetStr("name", "two", 2, false);
    prefs.DeleteUser(1);
    EXPECT_EQ(prefs.GetNumUsers(), 2u);
    EXPECT_EQ(S(prefs.GetStr("name", "", 0)), "zero");
    EXPECT_EQ(S(prefs.GetStr("name", "", 1)), "two");
    prefs.DeleteUser(2);
    prefs.DeleteUser(5);
    EXPECT_EQ(prefs.GetNumUsers(), 2u);
}

TEST_F(StoreTest, SavingDisabledWritesNothing)
{
    TPrefs prefs(false);
    prefs.SetStr("k", "v", -1, true);
    EXPECT_FALSE(prefs.SavePrefs());
    EXPECT_FALSE(Exists("prefs.dat"));
    EXPECT_EQ(S(prefs.GetStr("k", "", -1)), "v");
}

TEST_F(StoreTest, MissingKeyIsLoggedAndTheStoreStillWorks)
{
    TConfig::Clear();
    testing::internal::CaptureStderr();
    TPrefs prefs(true);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR: No encryption key set before TPrefs construction!"),
              std::string::npos);
    prefs.SetStr("k", "v", -1, true);
    TPrefs again(false);
    EXPECT_EQ(S(again.GetStr("k", "", -1)), "v");
}

TEST_F(StoreTest, InstallKeyFromConfigurationOrUnknown)
{
    {
        TPrefs prefs(false);
        EXPECT_EQ(S(prefs.GetInstallKey()), "unknown");
    }
    TConfig::SetConfig(TConfig::kInstallKey, "Retail");
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetInstallKey()), "retail");
}

}  // namespace
