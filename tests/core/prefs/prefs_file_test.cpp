#include "core/prefs/prefs.h"
#include "prefs_test_support.h"

#include "common/log_capture.h"
#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using PrefsFileTest = PrefsTest;

std::string S(const str& s)
{
    return s.c_str();
}

uint32_t Le32(const std::vector<char>& b, size_t at)
{
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

// Tags and payload lengths of a chunk file.
std::vector<std::pair<std::string, uint32_t>> Chunks(const std::vector<char>& b)
{
    std::vector<std::pair<std::string, uint32_t>> out;
    for (size_t at = 0; at + 8 <= b.size();) {
        const uint32_t length = Le32(b, at + 4);
        out.emplace_back(std::string(b.data() + at, 4), length);
        at += 8 + length;
    }
    return out;
}

TEST_F(PrefsFileTest, RoundTripWithSeveralInstallsAndPlayers)
{
    {
        TConfig::SetConfig(TConfig::kInstallKey, "alpha");
        TPrefs prefs(true);
        prefs.SetStr("volume", "80", -1, false);
        prefs.SetStr("name", "Ada", 0, false);
        prefs.SetStr("name", "Bo", 1, false);
        prefs.SetInt("scene", 12, 1, false);
        prefs.SetStr("quote", "\"<&>\" caf\xC3\xA9", 2, false);
        ASSERT_TRUE(prefs.SavePrefs());
    }
    {
        TConfig::SetConfig(TConfig::kInstallKey, "beta");
        TPrefs prefs(true);
        EXPECT_EQ(prefs.GetNumUsers(), 0u);  // another installation sees none of alpha's
        prefs.SetStr("name", "Cy", 0, true);
    }
    TConfig::SetConfig(TConfig::kInstallKey, "alpha");
    TPrefs alpha(false);
    EXPECT_FALSE(alpha.IsDamaged());
    EXPECT_EQ(alpha.GetNumUsers(), 3u);
    EXPECT_EQ(S(alpha.GetStr("volume", "", -1)), "80");
    EXPECT_EQ(S(alpha.GetStr("name", "", 0)), "Ada");
    EXPECT_EQ(S(alpha.GetStr("name", "", 1)), "Bo");
    EXPECT_EQ(alpha.GetInt("scene", 0, 1), 12);
    EXPECT_EQ(S(alpha.GetStr("quote", "", 2)), "\"<&>\" caf\xC3\xA9");
    ASSERT_EQ(alpha.GetStore().size(), 2u);

    TConfig::SetConfig(TConfig::kInstallKey, "beta");
    TPrefs beta(false);
    EXPECT_EQ(beta.GetNumUsers(), 1u);
    EXPECT_EQ(S(beta.GetStr("name", "", 0)), "Cy");
}

TEST_F(PrefsFileTest, FileLayout)
{
    TConfig::SetConfig(TConfig::kInstallKey, "one");
    TPrefs prefs(true);
    prefs.SetStr("b", "1234567", -1, false);  // K=2: 2 + 2 + 8 = 12 plain bytes -> 16
    prefs.SetStr("a", "x", -1, false);        // 2 + 2 + 2 = 6 -> 8
    prefs.SetStr("u", "", 0, false);          // 2 + 2 + 1 = 5 -> 8
    ASSERT_TRUE(prefs.SavePrefs());
    const std::vector<std::pair<std::string, uint32_t>> expected = {
        {"IKEY", 8}, {"IKEY", 8}, {"USER", 2}, {"KVPR", 8}, {"KVPR", 16}, {"USER", 2}, {"KVPR", 8},
    };
    EXPECT_EQ(Chunks(Prefs()), expected);
    // Slot indexes are plain 16-bit numbers.
    const std::vector<char> b = Prefs();
    EXPECT_EQ(b[16 + 16 + 8], 0);
    EXPECT_EQ(b[16 + 16 + 10 + 16 + 24 + 8], 1);
}

TEST_F(PrefsFileTest, PayloadPaddingSizes)
{
    // A plain text of 8 bytes becomes 16, one of 7 becomes 8: keys of 3 and 2 characters
    // with one-character values.
    TPrefs prefs(true);
    prefs.SetStr("abc", "v", -1, false);  // 2 + 4 + 2 = 8
    ASSERT_TRUE(prefs.SavePrefs());
    EXPECT_EQ(Chunks(Prefs()).back(), (std::pair<std::string, uint32_t>{"KVPR", 16}));
    TPrefs fresh(true);
    fresh.SetStr("abc", "v", -1, false);
    fresh.SetStr("abc", "", -1, false);  // 2 + 4 + 1 = 7
    ASSERT_TRUE(fresh.SavePrefs());
    EXPECT_EQ(Chunks(Prefs()).back(), (std::pair<std::string, uint32_t>{"KVPR", 8}));
}

TEST_F(PrefsFileTest, DeleteUserThenSaveAndReload)
{
    {
        TPrefs prefs(true);
        for (int u = 0; u < 3; ++u)
            prefs.SetInt("id", u, u, false);
        prefs.DeleteUser(0);
        ASSERT_TRUE(prefs.SavePrefs());
    }
    TPrefs prefs(false);
    EXPECT_EQ(prefs.GetNumUsers(), 2u);
    EXPECT_EQ(prefs.GetInt("id", -1, 0), 1);
    EXPECT_EQ(prefs.GetInt("id", -1, 1), 2);
}

TEST_F(PrefsFileTest, SaveReplacesThroughATemporaryFile)
{
    TPrefs prefs(true);
    prefs.SetStr("k", "first", -1, true);
    prefs.SetStr("k", "second", -1, true);
    TPrefs again(false);
    EXPECT_EQ(S(again.GetStr("k", "", -1)), "second");
    // No temporary files are left behind: the file and its previous contents.
    std::set<std::string> files;
    for (auto& entry : std::filesystem::directory_iterator(mDir))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"prefs.dat", "prefs.dat.prev"}));
}

TEST_F(PrefsFileTest, SaveThatFailsHalfWayLeavesTheOldFile)
{
    {
        TPrefs prefs(true);
        prefs.SetStr("progress", "precious", 0, true);
    }
    const std::vector<char> before = Prefs();
    ASSERT_FALSE(before.empty());

    TPrefs prefs(true);
    std::string big(100000, 'z');
    prefs.SetStr("big", big.c_str(), 0, false);

    // Let the file system refuse every byte past 4 KiB: the write stops half way.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool saved = prefs.SavePrefs();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);

    EXPECT_FALSE(saved);
    EXPECT_EQ(Prefs(), before);
    TPrefs reread(false);
    EXPECT_EQ(S(reread.GetStr("progress", "", 0)), "precious");
    EXPECT_EQ(S(reread.GetStr("big", "none", 0)), "none");
    size_t files = 0;
    for (auto& entry : std::filesystem::directory_iterator(mDir))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);
}

TEST_F(PrefsFileTest, ReadOnlyFileIsLoadedAndNotReplaced)
{
    {
        TPrefs prefs(true);
        prefs.SetStr("progress", "chapter 5", 0, true);
    }
    const std::vector<char> before = Prefs();
    chmod(Path("prefs.dat").c_str(), 0444);
    RunUnprivileged(mDir, [&] {
        TPrefs prefs(true);
        EXPECT_FALSE(prefs.IsDamaged());
        EXPECT_EQ(S(prefs.GetStr("progress", "lost", 0)), "chapter 5");
        TLogCapture log;
        prefs.SetStr("progress", "chapter 6", 0, false);
        EXPECT_FALSE(prefs.SavePrefs());
        EXPECT_NE(log.Text().find("prefs.dat': the file is not writable"), std::string::npos);
        EXPECT_EQ(Prefs(), before);
    });
}

TEST_F(PrefsFileTest, InstallTextChoosesTheInstallation)
{
    SetInstallText("Shop-42\n");
    {
        TPrefs prefs(true);
        // No file yet: the text as it stands (case and line feed kept).
        EXPECT_EQ(S(prefs.GetInstallKey()), "Shop-42\n");
        prefs.SetStr("k", "v", -1, true);
    }
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetInstallKey()), "shop-42\n");
    EXPECT_EQ(S(prefs.GetStr("k", "", -1)), "v");
}

TEST_F(PrefsFileTest, EmptyInstallTextTakesTheFilesFirstInstall)
{
    WritePrefs(ChunkWriter()
                   .Install("Boxed")
                   .Install("boxed")
                   .User(0)
                   .Pair("k", "boxed value")
                   .Install("other")
                   .User(0)
                   .Pair("k", "other value")
                   .Bytes());
    SetInstallText("");
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetInstallKey()), "boxed");
    EXPECT_EQ(S(prefs.GetStr("k", "", -1)), "boxed value");
    EXPECT_FALSE(prefs.IsDamaged());
}

TEST_F(PrefsFileTest, ValueBeforeAnySlotChunkLandsInSlotZero)
{
    WritePrefs(ChunkWriter().Install("unknown").Install("unknown").Pair("early", "yes").Bytes());
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetStr("early", "", -1)), "yes");
    EXPECT_FALSE(prefs.IsDamaged());
}

TEST_F(PrefsFileTest, InstallSwitchKeepsTheSlotIndexAndGrows)
{
    WritePrefs(ChunkWriter()
                   .Install("unknown")
                   .Install("a")
                   .User(0)
                   .User(1)
                   .User(2)
                   .Pair("k", "a2")
                   .Install("unknown")
                   .Pair("k", "u2")
                   .Bytes());
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetStr("k", "", 1)), "u2");
    EXPECT_FALSE(prefs.IsDamaged());
}

}  // namespace
