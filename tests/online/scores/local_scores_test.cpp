#include "online/scores/zv_hiscores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "common/log_capture.h"
#include "common/unprivileged.h"
#include "core/files/file.h"
#include "core/files/replace_file.h"
#include "score_test_env.h"

namespace {
std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LocalScores : public ::testing::Test
{
protected:
    ScoreTestEnv env;

    std::unique_ptr<TZvHiscores> Make(bool save = true, const char* player = "ann", const char* mode = "easy")
    {
        auto h = std::make_unique<TZvHiscores>(save);
        h->SetProperty(TZvHiscores::kPropUserName, player);
        h->SetProperty(TZvHiscores::kPropGameMode, mode);
        return h;
    }

    static std::vector<std::pair<int, std::string>> Table(TZvHiscores& h)
    {
        std::vector<std::pair<int, std::string>> out;
        for (int i = 0; i < h.GetScoreCount(true); ++i) {
            int rank = 0, score = 0;
            char name[32];
            EXPECT_TRUE(h.GetScore(true, i, &rank, name, sizeof name, nullptr, &score, nullptr, 0));
            out.emplace_back(score, std::to_string(rank) + ":" + name);
        }
        return out;
    }
};
}  // namespace

TEST_F(LocalScores, RecordingIntoNewModeCreatesTableAtRankOne)
{
    auto h = Make();
    EXPECT_EQ(h->GetScoreCount(true), 0);
    EXPECT_FALSE(h->GetScore(true, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0));
    h->KeepScore(120, false, "level 3");
    ASSERT_EQ(h->GetScoreCount(true), 1);
    int rank = 0, score = 0;
    bool anonymous = false;
    char name[3], data[64];
    ASSERT_TRUE(h->GetScore(true, 0, &rank, name, sizeof name, &anonymous, &score, data, sizeof data));
    EXPECT_EQ(rank, 1);
    EXPECT_EQ(score, 120);
    EXPECT_STREQ(name, "an");  // cut to the buffer
    EXPECT_TRUE(anonymous);
    EXPECT_STREQ(data, "level 3");
    EXPECT_FALSE(h->GetScore(true, 1, &rank, nullptr, 0, nullptr, nullptr, nullptr, 0));
    EXPECT_FALSE(h->GetScore(true, -1, &rank, nullptr, 0, nullptr, nullptr, nullptr, 0));

    h->SetProperty(TZvHiscores::kPropGameMode, "hard");
    EXPECT_EQ(h->GetScoreCount(true), 0);
}

TEST_F(LocalScores, RanksEqualScoresTogetherAndNewRowBelowThem)
{
    auto h = Make();
    h->KeepScore(90, false, nullptr);
    h->SetProperty(TZvHiscores::kPropUserName, "bob");
    h->KeepScore(80, false, nullptr);
    h->KeepScore(90, false, nullptr);
    EXPECT_EQ(Table(*h), (std::vector<std::pair<int, std::string>>{{90, "1:ann"}, {90, "1:bob"}, {80, "3:bob"}}));
}

TEST_F(LocalScores, OnePerPlayerKeepsBestAndStillRewritesFile)
{
    auto h = Make();
    h->KeepScore(50, true, nullptr);
    std::filesystem::remove(env.ScoreFilePath());
    h->KeepScore(40, true, nullptr);
    h->KeepScore(50, true, nullptr);
    EXPECT_EQ(Table(*h), (std::vector<std::pair<int, std::string>>{{50, "1:ann"}}));
    EXPECT_TRUE(std::filesystem::exists(env.ScoreFilePath()));

    h->SetProperty(TZvHiscores::kPropUserName, "bob");
    h->KeepScore(70, true, nullptr);
    h->SetProperty(TZvHiscores::kPropUserName, "ann");
    h->KeepScore(99, true, nullptr);
    EXPECT_EQ(Table(*h), (std::vector<std::pair<int, std::string>>{{99, "1:ann"}, {70, "2:bob"}}));
    // The replacing row keeps the id of the row it replaced.
    std::string xml = env.DecryptScoreFile();
    EXPECT_NE(xml.find("guid=\"guid0001\""), std::string::npos);
    EXPECT_EQ(xml.find("guid0005"), std::string::npos);
    EXPECT_NE(xml.find("guid0004"), std::string::npos);  // bob's row
}

TEST_F(LocalScores, FullTableDropsTheLowestRow)
{
    auto h = Make(false);
    for (int i = 0; i < 500; ++i)
        h->KeepScore(1000 + i, false, nullptr);
    ASSERT_EQ(h->GetScoreCount(true), 500);
    h->KeepScore(5, false, nullptr);
    EXPECT_EQ(h->GetScoreCount(true), 500);
    int score = 0;
    h->GetScore(true, 499, nullptr, nullptr, 0, nullptr, &score, nullptr, 0);
    EXPECT_EQ(score, 1000);
    h->KeepScore(5000, false, nullptr);
    EXPECT_EQ(h->GetScoreCount(true), 500);
    h->GetScore(true, 499, nullptr, nullptr, 0, nullptr, &score, nullptr, 0);
    EXPECT_EQ(score, 1001);
    h->GetScore(true, 0, nullptr, nullptr, 0, nullptr, &score, nullptr, 0);
    EXPECT_EQ(score, 5000);
}

TEST_F(LocalScores, SaveDisabledWritesNothing)
{
    auto h = Make(false);
    h->KeepScore(10, false, nullptr);
    h->KeepMedal("gold", TZvHiscores::kMedalGame, "");
    EXPECT_FALSE(std::filesystem::exists(env.ScoreFilePath()));
}

TEST_F(LocalScores, FileRoundTripKeepsTablesMedalsAndFormat)
{
    {
        auto h = Make();
        h->LogScore(300, false, "gd<1>", "<extra/>");
        h->SetProperty(TZvHiscores::kPropGameMode, "hard");
        h->KeepScore(77, false, nullptr);
        h->KeepMedal("gold", TZvHiscores::kMedalGame, "g\"d");
        h->SetProperty(TZvHiscores::kPropUserName, "bob");
        h->KeepMedal("silver", TZvHiscores::kMedalGameMode, "");
    }
    std::string xml = env.DecryptScoreFile();
    ASSERT_FALSE(xml.empty());
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\"?>\n<score", 0), 0u) << xml;
    // Tables in key order, then medals in key order.
    size_t easy = xml.find("name=\"easy\""), hard = xml.find("name=\"hard\""), medals = xml.find("<medals");
    EXPECT_LT(easy, hard);
    EXPECT_LT(hard, medals);
    EXPECT_NE(xml.find("submit=\"0\""), std::string::npos);
    EXPECT_NE(xml.find("version=\"1.2\""), std::string::npos);

    auto h = Make(true, "ann", "easy");
    int score = 0;
    char data[16], name[16];
    ASSERT_EQ(h->GetScoreCount(true), 1);
    ASSERT_TRUE(h->GetScore(true, 0, nullptr, name, sizeof name, nullptr, &score, data, sizeof data));
    EXPECT_EQ(score, 300);
    EXPECT_STREQ(name, "ann");
    EXPECT_STREQ(data, "gd<1>");
    h->SetProperty(TZvHiscores::kPropGameMode, "hard");
    EXPECT_EQ(h->GetScoreCount(true), 1);
    ASSERT_EQ(h->GetNumMedalsEarned(), 1);
    str medal, mode, gameData;
    TZvHiscores::EMedalType type = TZvHiscores::kMedalGameMode;
    ASSERT_TRUE(h->GetEarnedMedalInfo(0, &medal, &type, &mode, &gameData));
    EXPECT_EQ(medal, str("gold"));
    EXPECT_EQ(type, TZvHiscores::kMedalGame);
    EXPECT_EQ(mode, str("hard"));
    EXPECT_EQ(gameData, str("g\"d"));
    h->SetProperty(TZvHiscores::kPropUserName, "bob");
    ASSERT_TRUE(h->GetEarnedMedalInfo(0, &medal, &type, &mode, nullptr));
    EXPECT_EQ(type, TZvHiscores::kMedalGameMode);
}

TEST_F(LocalScores, FlippedByteMakesWholeFileIgnoredAndKeptAside)
{
    {
        auto h = Make();
        h->KeepScore(10, false, nullptr);
    }
    std::string bytes = env.ReadScoreFileBytes();
    ASSERT_GT(bytes.size(), 20u);
    bytes[bytes.size() / 2] ^= 0x01;
    env.WriteScoreFileBytes(bytes);

    testing::internal::CaptureStderr();
    auto h = Make();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("HiScores: Checksum did not match! Ignoring saved score data."), std::string::npos);
    EXPECT_EQ(h->GetScoreCount(true), 0);
    // The damaged file is not overwritten by the next save.
    h->KeepScore(20, false, nullptr);
    EXPECT_EQ(ReadFile(env.ScoreFilePath() + ".bad"), bytes);
    EXPECT_FALSE(env.DecryptScoreFile().empty());
}

TEST_F(LocalScores, EachDamagedFileGetsItsOwnCopy)
{
    const std::vector<std::string> damaged = {"first damaged file", "second damaged file", "third damaged file"};
    for (const std::string& bytes : damaged) {
        env.WriteScoreFileBytes(bytes);
        auto h = Make();
        h->KeepScore(5, false, nullptr);
    }
    EXPECT_EQ(ReadFile(env.ScoreFilePath() + ".bad"), damaged[0]);
    EXPECT_EQ(ReadFile(env.ScoreFilePath() + ".bad1"), damaged[1]);
    EXPECT_EQ(ReadFile(env.ScoreFilePath() + ".bad2"), damaged[2]);
}

TEST_F(LocalScores, ReadOnlyFileIsLoadedAndNotReplaced)
{
    {
        auto h = Make();
        h->KeepScore(70, false, nullptr);
    }
    const std::string before = env.ReadScoreFileBytes();
    chmod(env.ScoreFilePath().c_str(), 0444);
    RunUnprivileged(env.Dir(), [&] {
        auto h = Make();
        EXPECT_EQ(h->GetScoreCount(true), 1);
        TLogCapture log;
        h->KeepScore(80, false, nullptr);
        EXPECT_NE(log.Text().find("hiscore.dat': the file is not writable"), std::string::npos);
        EXPECT_EQ(env.ReadScoreFileBytes(), before);
    });
}

// No home folder: every save is told to the save report, the log names the file once.
TEST_F(LocalScores, SavesWithNoFolderAreReportedAndLoggedOnce)
{
    TFile::SetFolders({});
    std::vector<TSaveOutcome> told;
    SetSaveReport([&](const TSaveOutcome& outcome) { told.push_back(outcome); });
    TLogCapture log;
    {
        auto h = Make();
        h->KeepScore(70, false, nullptr);
        h->KeepScore(80, false, nullptr);
        h->KeepMedal("star", TZvHiscores::kMedalGame, "");
    }
    SetSaveReport(nullptr);
    EXPECT_LE(LogLinesWith(log.Text(), {"hiscore"}).size(), 1u) << log.Text();
    ASSERT_EQ(told.size(), 3u);
    for (const TSaveOutcome& outcome : told) {
        EXPECT_EQ(std::string(outcome.diskPath.c_str()), "user:hiscore.dat");
        EXPECT_EQ(outcome.problem, ESaveProblem::kNoFolder);
    }
}

TEST_F(LocalScores, MedalsOfAnEmptyPlayerNameSurviveAReload)
{
    {
        auto h = Make(true, "");
        h->KeepMedal("star", TZvHiscores::kMedalGame, "");
    }
    auto h = Make(true, "");
    ASSERT_EQ(h->GetNumMedalsEarned(), 1);
    str medal;
    ASSERT_TRUE(h->GetEarnedMedalInfo(0, &medal, nullptr, nullptr, nullptr));
    EXPECT_EQ(medal, str("star"));
}

TEST_F(LocalScores, TooShortFileIsIgnored)
{
    env.WriteScoreFileBytes("12345678");
    auto h = Make();
    EXPECT_EQ(h->GetScoreCount(true), 0);
    h->KeepScore(1, false, nullptr);
    EXPECT_EQ(h->GetScoreCount(true), 1);
}

TEST_F(LocalScores, LoadReadsSubmitFlagsSkipsEmptyTablesAndCapsRows)
{
    std::string xml = "<?xml version=\"1.0\"?>\n"
                      "<user player=\"ann\" name=\"annie\" pass=\"pw\"></user>\n"
                      "<score name=\"easy\">"
                      "<row rank=\"1\" score=\"9\" submit=\"2\" guid=\"a\" name=\"ann\"></row>"
                      "<row rank=\"2\" score=\"8\" submit=\"0\" guid=\"b\" name=\"ann\"></row>"
                      "<row rank=\"3\" score=\"7\" guid=\"c\" name=\"ann\"></row>"
                      "</score>\n"
                      "<score name=\"empty\"></score>\n"
                      "<score name=\"big\">";
    for (int i = 0; i < 600; ++i)
        xml += "<row rank=\"" + std::to_string(i + 1) + "\" score=\"" + std::to_string(1000 - i) + "\" name=\"x\"/>";
    xml += "</score>\n<medals user=\"\"><medal medalname=\"kept\" type=\"game\"/></medals>\n";
    env.WriteScoreFileXml(xml);

    auto h = Make();
    int score = 0;
    ASSERT_TRUE(h->GetUserEligibleScore(&score, nullptr, nullptr, 0));
    EXPECT_EQ(score, 8);  // "2" loaded as submitted, "0" as not
    str name, pass;
    ASSERT_TRUE(h->GetRememberedUserInfo(&name, &pass));
    EXPECT_EQ(name, str("annie"));
    EXPECT_EQ(pass, str("pw"));
    h->SetProperty(TZvHiscores::kPropGameMode, "big");
    EXPECT_EQ(h->GetScoreCount(true), 500);
    h->KeepScore(2000, false, nullptr);
    EXPECT_EQ(h->GetScoreCount(true), 500);
    h->SetProperty(TZvHiscores::kPropGameMode, "empty");
    EXPECT_EQ(h->GetScoreCount(true), 0);
    h->SetProperty(TZvHiscores::kPropUserName, "");
    EXPECT_EQ(h->GetNumMedalsEarned(), 1);
}

TEST_F(LocalScores, MedalsOncePerModeOrOncePerGame)
{
    auto h = Make();
    h->KeepMedal("star", TZvHiscores::kMedalGameMode, "");
    h->KeepMedal("star", TZvHiscores::kMedalGameMode, "");
    h->KeepMedal("crown", TZvHiscores::kMedalGame, "");
    h->SetProperty(TZvHiscores::kPropGameMode, "hard");
    h->KeepMedal("star", TZvHiscores::kMedalGameMode, "");
    h->KeepMedal("crown", TZvHiscores::kMedalGame, "");
    EXPECT_EQ(h->GetNumMedalsEarned(), 3);
    EXPECT_EQ(h->GetNumMedalsToSubmit(), 3);
    EXPECT_FALSE(h->GetEarnedMedalInfo(3, nullptr, nullptr, nullptr, nullptr));
    h->SetProperty(TZvHiscores::kPropUserName, "bob");
    EXPECT_EQ(h->GetNumMedalsEarned(), 0);
    EXPECT_FALSE(h->GetEarnedMedalInfo(0, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(LocalScores, EligibleScoreIsPlayersFirstUnsubmittedRow)
{
    auto h = Make();
    h->KeepScore(30, false, "a");
    h->SetProperty(TZvHiscores::kPropUserName, "bob");
    h->KeepScore(50, false, "b");
    h->SetProperty(TZvHiscores::kPropUserName, "ann");
    int score = 0, rank = 0;
    char data[8];
    ASSERT_TRUE(h->GetUserBestScore(TZvHiscores::kUserScoreLocal, &score, &rank, data, sizeof data));
    EXPECT_EQ(score, 30);
    EXPECT_EQ(rank, 2);
    EXPECT_STREQ(data, "a");
    EXPECT_FALSE(h->GetUserBestScore(TZvHiscores::kUserScoreGlobal, &score, &rank, nullptr, 0));
    EXPECT_FALSE(h->GetUserBestScore(static_cast<TZvHiscores::EUserScore>(7), &score, &rank, nullptr, 0));
}

TEST_F(LocalScores, ErrorMessageIsServerTextThenDefaultThenFixedText)
{
    auto h = Make();
    char message[64];
    h->FillInErrorMessage(message, sizeof message, "", "");
    EXPECT_STREQ(message, "Unable to connect to server. Please try again later.");
    h->FillInErrorMessage(message, sizeof message, "def", "");
    EXPECT_STREQ(message, "def");
    h->FillInErrorMessage(message, 4, "def", "server says");
    EXPECT_STREQ(message, "ser");
}
