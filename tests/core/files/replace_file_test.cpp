// Safe replacement of files: modes, read-only files, the folder sync and kills mid-save.

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/log_capture.h"
#include "common/unprivileged.h"
#include "core/files/replace_file.h"
#include "file_test_fixture.h"

namespace {

using ReplaceFileTest = FileLayerTest;

mode_t ModeOf(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(ReplaceFileTest, KeepsTheModeOfTheFileItReplaces)
{
    const struct
    {
        const char* name;
        mode_t before;  // 0: no file before
        mode_t after;
    } cases[] = {
        {"new.dat", 0, 0644}, {"private.dat", 0600, 0600}, {"group.dat", 0640, 0640}, {"program.sh", 0755, 0755}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = root + "/" + c.name;
        if (c.before) {
            Put(path, "old");
            chmod(path.c_str(), c.before);
        }
        ASSERT_TRUE(ReplaceDiskFile(path.c_str(), "new", 3));
        EXPECT_EQ(Read(path), "new");
        EXPECT_EQ(ModeOf(path), c.after);
    }
}

TEST_F(ReplaceFileTest, ReadOnlyFileIsNeitherReplacedNorTreatedAsMissing)
{
    const std::string path = Put(root + "/home/User Data/progress.dat", "saved progress");
    chmod(path.c_str(), 0444);
    RunUnprivileged(root, [&] {
        EXPECT_EQ(Slurp("user:progress.dat"), "saved progress");
        TLogCapture log;
        EXPECT_FALSE(ReplaceFileContents("user:progress.dat", "nothing", 7));
        EXPECT_NE(log.Text().find("progress.dat': the file is not writable"), std::string::npos);
        EXPECT_EQ(Read(path), "saved progress");
        EXPECT_EQ(ModeOf(path), 0444u);
    });
}

TEST_F(ReplaceFileTest, FolderThatCannotBeSyncedMakesTheSaveFail)
{
    // Write and search rights only: the file can be renamed into it, the folder not opened.
    const std::string folder = root + "/blind";
    std::filesystem::create_directories(folder);
    chmod(folder.c_str(), 0300);
    RunUnprivileged(root, [&] {
        TLogCapture log;
        EXPECT_FALSE(ReplaceDiskFile((folder + "/a.dat").c_str(), "a", 1));
        EXPECT_NE(log.Text().find("its folder could not be synced"), std::string::npos);
    });
    chmod(folder.c_str(), 0700);  // so that the folder can be cleared away
}

TEST_F(ReplaceFileTest, AFolderThatCannotBeMadeIsNamedWithTheReason)
{
    // A file where a folder of the path should be: the save fails, saying which and why.
    Put(root + "/taken", "a file");
    TLogCapture log;
    EXPECT_FALSE(ReplaceDiskFile((root + "/taken/deeper/a.dat").c_str(), "a", 1));
    EXPECT_NE(log.Text().find("Cannot create folder " + root + "/taken/deeper: Not a directory"), std::string::npos)
        << log.Text();
    EXPECT_NE(log.Text().find("a.dat': folder not created (Not a directory)"), std::string::npos) << log.Text();
    EXPECT_EQ(Read(root + "/taken"), "a file");
}

// A folder with a file's name: a spare copy gives way to the file it goes with, any other file
// fails the save and is told first; each outcome says why.
TEST_F(ReplaceFileTest, AFolderInTheWayIsToldAndASpareGivesWay)
{
    const struct
    {
        bool spare;         // the folder takes the spare's name
        bool saved;         // what the save answers
        const char* first;  // the file told first
    } cases[] = {{true, true, "a.dat.spare"}, {false, false, "a.dat"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spare ? "spare" : "file");
        const std::string folder = root + "/case" + std::to_string(c.spare);
        const std::string file = folder + "/a.dat", spare = file + ".spare";
        std::filesystem::create_directories(c.spare ? spare : file);
        std::vector<TSaveOutcome> seen;
        SetSaveReport([&](const TSaveOutcome& outcome) { seen.push_back(outcome); });
        std::vector<bool> replaced;
        const bool saved = ReplaceDiskFiles({{spare.c_str(), "old", 3, true}, {file.c_str(), "new", 3}}, &replaced);
        SetSaveReport(nullptr);
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(replaced, (std::vector<bool>{false, c.saved}));
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(std::string(seen[0].diskPath.c_str()), folder + "/" + c.first);
        for (const TSaveOutcome& outcome : seen) {
            const bool isSpare = outcome.diskPath == str(spare.c_str());
            SCOPED_TRACE(outcome.diskPath.c_str());
            EXPECT_EQ(outcome.saved, c.saved && !isSpare);
            EXPECT_EQ(outcome.problem, outcome.saved ? ESaveProblem::kNone : ESaveProblem::kFolderInTheWay);
            EXPECT_EQ(outcome.spare, c.saved && isSpare);
        }
        if (c.saved) {
            EXPECT_EQ(Read(file), "new");
        }
    }
}

// Saves in a child process that is killed at random moments: after every kill the file holds
// one whole version, never an older one than before, never a torn one.
TEST_F(ReplaceFileTest, KillDuringSavesLeavesAWholeVersion)
{
    const std::string path = root + "/saves/game.dat";
    constexpr size_t kVersionSize = 64 * 1024;
    auto version = [&](unsigned n) {
        std::string text = std::to_string(n) + ":";
        text.resize(kVersionSize, char('a' + n % 26));
        return text;
    };
    ASSERT_TRUE(ReplaceDiskFile(path.c_str(), version(0).data(), kVersionSize));

    std::mt19937 random(2026);
    unsigned last = 0;
    constexpr int kSaves = 200;
    for (int save = 0; save < kSaves; ++save) {
        const unsigned next = last + 1;
        std::fflush(nullptr);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string bytes = version(next);
            ReplaceDiskFile(path.c_str(), bytes.data(), bytes.size());
            _exit(0);
        }
        usleep(std::uniform_int_distribution<unsigned>(0, 1500)(random));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        const std::string now = Read(path);
        ASSERT_EQ(now.size(), kVersionSize) << "after save " << save;
        const unsigned found = unsigned(std::stoul(now));
        ASSERT_TRUE(found == last || found == next) << found << " after save " << save;
        ASSERT_EQ(now, version(found));
        last = found;
    }

    // What the killed saves left is removed at the next start; nothing else is touched.
    const std::vector<std::string> kept = {"game.dat", "game.dat.bad", "game.dat.tmp.toolong", "other.dat.tmp.abcdef"};
    for (const std::string& name : kept)
        if (name != "game.dat")
            Put(root + "/saves/" + name, "keep");
    Put(root + "/saves/game.dat.tmp.Ab3xYz", "half");
    TLogCapture log;
    RemoveUnfinishedSaves(path.c_str());
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(root + "/saves"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, kept);
    EXPECT_EQ(Read(path), version(last));
    EXPECT_NE(log.Text().find("game.dat.tmp.Ab3xYz', left by a save that did not finish"), std::string::npos);
}

}  // namespace
