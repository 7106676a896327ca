// The contents before the last save (".prev") when the file itself is gone, or when something
// of that name keeps them from being written; and saves with no folder to go to.

#include "core/files/replace_file.h"
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

// What the save report is told while it lives.
class TOutcomes
{
public:
    TOutcomes()
    {
        SetSaveReport([this](const TSaveOutcome& outcome) { mSeen.push_back(outcome); });
    }
    ~TOutcomes() { SetSaveReport(nullptr); }
    const std::vector<TSaveOutcome>& Seen() const { return mSeen; }
    const TSaveOutcome* Of(const std::string& path) const
    {
        for (const TSaveOutcome& outcome : mSeen)
            if (outcome.diskPath == str(path.c_str()))
                return &outcome;
        return nullptr;
    }

private:
    std::vector<TSaveOutcome> mSeen;
};

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

TEST_F(PrefsPreviousTest, AFolderInThePlaceOfThePreviousContentsDoesNotKeepTheSaveOut)
{
    std::filesystem::create_directory(Path("prefs.dat.prev"));
    {
        TPrefs prefs(true);
        EXPECT_FALSE(prefs.IsDamaged());  // a first start, with no contents to go back to
        prefs.SetStr("name", "Ann", 0, true);
        TOutcomes outcomes;
        prefs.SetStr("scene", "garden", 0, false);
        EXPECT_TRUE(prefs.SavePrefs());
        ASSERT_EQ(outcomes.Seen().size(), 2u);
        const TSaveOutcome* file = outcomes.Of(Path("prefs.dat"));
        const TSaveOutcome* spare = outcomes.Of(Path("prefs.dat.prev"));
        ASSERT_TRUE(file && spare);
        EXPECT_TRUE(file->saved);
        EXPECT_FALSE(spare->saved);
        EXPECT_EQ(spare->problem, ESaveProblem::kFolderInTheWay);
        EXPECT_TRUE(spare->spare);
    }
    EXPECT_TRUE(std::filesystem::is_directory(Path("prefs.dat.prev")));
    TPrefs reread(false);
    EXPECT_EQ(S(reread.GetStr("scene", "", 0)), "garden");
}

TEST_F(PrefsPreviousTest, ASaveWithNoFolderIsReported)
{
    TFile::SetFolders({});
    TPrefs prefs(true);
    TOutcomes outcomes;
    EXPECT_FALSE(prefs.SavePrefs());
    ASSERT_EQ(outcomes.Seen().size(), 1u);
    EXPECT_EQ(S(outcomes.Seen()[0].diskPath), "user:prefs.dat");
    EXPECT_FALSE(outcomes.Seen()[0].saved);
    EXPECT_EQ(outcomes.Seen()[0].problem, ESaveProblem::kNoFolder);
}

}  // namespace
