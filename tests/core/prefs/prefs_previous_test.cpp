// The contents before the last save (".prev") when the file itself is gone.

#include "core/prefs/prefs.h"
#include "prefs_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using PrefsPreviousTest = PrefsTest;

std::string S(const str& s)
{
    return s.c_str();
}

// Ann saved twice: the file holds the second save, ".prev" the first.
void SaveAnnTwice()
{
    TPrefs prefs(true);
    prefs.SetStr("name", "Ann", 0, true);
    prefs.SetStr("scene", "garden", 0, true);
}

TEST_F(PrefsPreviousTest, AMissingFileStartsFromThePreviousContentsAndKeepsThem)
{
    SaveAnnTwice();
    const std::vector<char> previous = ReadRaw("prefs.dat.prev");
    ASSERT_FALSE(previous.empty());
    std::filesystem::remove(Path("prefs.dat"));
    {
        TPrefs prefs(true);
        EXPECT_TRUE(prefs.WasRestored());
        EXPECT_FALSE(prefs.IsDamaged());
        EXPECT_EQ(prefs.GetNumUsers(), 1u);
        EXPECT_EQ(S(prefs.GetStr("name", "", 0)), "Ann");
        prefs.SetStr("scene", "forest", 0, true);
        // The save after the restore writes the file and leaves the copy it came from.
        EXPECT_EQ(ReadRaw("prefs.dat.prev"), previous);
    }
    TPrefs reread(false);
    EXPECT_FALSE(reread.WasRestored());
    EXPECT_EQ(S(reread.GetStr("scene", "", 0)), "forest");
}

TEST_F(PrefsPreviousTest, AMissingFileWithDamagedPreviousContentsKeepsACopyOfThem)
{
    SaveAnnTwice();
    std::vector<char> previous = ReadRaw("prefs.dat.prev");
    previous.resize(previous.size() - 3);
    WriteRaw("prefs.dat.prev", previous.data(), previous.size());
    std::filesystem::remove(Path("prefs.dat"));
    {
        TPrefs prefs(true);
        EXPECT_TRUE(prefs.IsDamaged());
        EXPECT_FALSE(prefs.WasRestored());
        EXPECT_EQ(S(prefs.GetDamagedCopyName()), "user:prefs.dat.prev.bad");
        prefs.SetStr("scene", "forest", 0, true);
        prefs.SetStr("scene", "lake", 0, true);
    }
    EXPECT_EQ(ReadRaw("prefs.dat.prev.bad"), previous);
}

}  // namespace
