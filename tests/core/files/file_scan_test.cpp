// The resource map: scans of mixed-case trees, the asset list, logical prefixes.

#include <optional>
#include <sys/stat.h>

#include "file_test_fixture.h"

namespace {

using FileScanTest = FileLayerTest;

TEST_F(FileScanTest, MixedCaseFilesOpenByLowerCaseAndAnyCaseNames)
{
    Put("assets/Quest/Forest.PNG", "forest");
    Put("assets/images/door.png", "door");
    TFile::ScanForResources();

    EXPECT_EQ(Slurp("quest/forest.png"), "forest");
    EXPECT_EQ(Slurp("QUEST/Forest.png"), "forest");
    EXPECT_EQ(Slurp("assets/quest/forest.png"), "forest");
    EXPECT_EQ(Slurp("ASSETS/Images/Door.PNG"), "door");
    // The map keeps the real path for the disk.
    EXPECT_EQ(std::string(TFile::TranslateResource("quest/forest.png", true).c_str()), "assets/Quest/Forest.PNG");
}

TEST_F(FileScanTest, BackslashIsUnderstoodOnlyDirectlyAfterAssets)
{
    Put("assets/images/door.png", "door");
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("images/door.png"));
    EXPECT_TRUE(TFile::Exists("assets\\images/door.png"));
    EXPECT_FALSE(TFile::Exists("images\\door.png"));
    EXPECT_FALSE(TFile::Exists("assets\\images\\door.png"));
}

TEST_F(FileScanTest, AssetListHidesFilesAndFolders)
{
    Put("assets/images/door.png", "door");
    Put("assets/images/wall.png", "wall");
    Put("assets/movies/intro.ogv", "movie");
    Put("assets/keep.txt", "keep");
    Put("final.txt", "Images/Door.PNG\tmovies\r\n");
    TFile::ScanForResources();

    EXPECT_FALSE(TFile::Exists("images/door.png"));
    EXPECT_EQ(Slurp("images/door.png"), "<missing>");
    EXPECT_FALSE(TFile::Exists("movies/intro.ogv"));
    EXPECT_TRUE(TFile::Exists("images/wall.png"));
    EXPECT_TRUE(TFile::Exists("keep.txt"));
}

TEST_F(FileScanTest, ClearMarkerKeepsOnlyTheNamesAfterIt)
{
    EXPECT_FALSE(TFile::InternalAddFileMask("a.png b.png", true));
    EXPECT_TRUE(TFile::InternalAddFileMask("c.png -* D.png", true));
    EXPECT_EQ(TFile::mIgnoredFiles, (std::set<str>{"d.png"}));
    EXPECT_FALSE(TFile::InternalAddFileMask("d.png", false));
    EXPECT_TRUE(TFile::mIgnoredFiles.empty());

    Put("assets/a.png", "a");
    Put("assets/d.png", "d");
    Put("final.txt", "a.png -* d.png");
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("a.png"));
    EXPECT_FALSE(TFile::Exists("d.png"));
}

TEST_F(FileScanTest, OversizedAssetListIsIgnored)
{
    Put("assets/a.png", "a");
    Put("final.txt", "a.png" + std::string(100000, ' '));
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("a.png"));
}

TEST_F(FileScanTest, VersionControlFoldersAreSkipped)
{
    Put("assets/.svn/entries", "x");
    Put("assets/ui/.svn/entries", "x");
    Put("assets/ui/button.png", "b");
    TFile::ScanForResources();
    EXPECT_FALSE(TFile::Exists(".svn/entries"));
    EXPECT_FALSE(TFile::Exists("ui/.svn/entries"));
    EXPECT_TRUE(TFile::Exists("ui/button.png"));
}

TEST_F(FileScanTest, UserAndCommonFoldersAreScannedUnderTheirPrefixes)
{
    Put("home/User Data/Slot1.DAT", "slot");
    Put("home/User Data/Saves/Old.dat", "old");
    Put("home/Common/Scores.dat", "scores");
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("user:slot1.dat"), "slot");
    EXPECT_EQ(Slurp("user:saves/old.dat"), "old");
    EXPECT_EQ(Slurp("common:SCORES.dat"), "scores");
    EXPECT_FALSE(TFile::Exists("slot1.dat"));
}

TEST_F(FileScanTest, ActiveXModeSkipsTheUserFolders)
{
    Put("home/User Data/slot1.dat", "slot");
    TConfig::SetConfig("activex", "1");
    TFile::ScanForResources();
    EXPECT_EQ(TFile::mResourceMap.count("user:slot1.dat"), 0u);
}

TEST_F(FileScanTest, RegisterFilesHookRunsFirst)
{
    static const char kCursor[] = "cursor";
    TFile::mRegisterFiles = [] { TFile::AddMemoryFile("__SystemCursor__.png", kCursor, 6); };
    TFile::ScanForResources();
    EXPECT_EQ(Slurp("__systemcursor__.png"), "cursor");
}

TEST_F(FileScanTest, WritingCreatesTheFoldersAndTheFileThenItExists)
{
    EXPECT_FALSE(TFile::Exists("user:missing.dat"));
    EXPECT_FALSE(std::filesystem::exists(root + "/home/User Data"));

    TFile out;
    ASSERT_TRUE(out.Open("user:New/Dir/File.dat", kFileWrite));
    EXPECT_EQ(out.Write("abc", 3), 3u);
    out.Close();

    // Case is kept outside the asset folder.
    std::string made = root + "/home/User Data/New/Dir/File.dat";
    ASSERT_TRUE(std::filesystem::exists(made));
    struct stat st;
    ASSERT_EQ(stat((root + "/home/User Data/New").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777 & ~0755u, 0u);  // never wider than 0755
    EXPECT_EQ(st.st_mode & 0700, 0700u);
    EXPECT_TRUE(TFile::Exists("user:new/dir/file.dat"));
    EXPECT_EQ(Slurp("USER:New/Dir/File.dat"), "abc");
}

TEST_F(FileScanTest, ReadingAMissingUserFileCreatesNothing)
{
    EXPECT_EQ(Slurp("user:a/b.dat"), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(root + "/home/User Data"));
}

TEST_F(FileScanTest, RemovedFileNoLongerExists)
{
    TFile out;
    ASSERT_TRUE(out.Open("user:slot.dat", kFileWrite));
    out.Close();
    EXPECT_TRUE(TFile::Exists("user:slot.dat"));
    std::filesystem::remove(root + "/home/User Data/slot.dat");
    EXPECT_FALSE(TFile::Exists("user:slot.dat"));
    EXPECT_FALSE(TFile::Exists("assets/user:slot.dat"));
}

TEST_F(FileScanTest, FolderPrefixWithoutAFolderFails)
{
    TFile::SetFolders({});
    TFile out;
    EXPECT_FALSE(out.Open("user:x.dat", kFileWrite));
    EXPECT_FALSE(out.Open("desktop:x.txt", kFileWrite));
}

TEST_F(FileScanTest, DesktopNamesWriteToTheDesktopFolder)
{
    TFile out;
    ASSERT_TRUE(out.Open("desktop:Shot.png", kFileWrite));
    out.Close();
    EXPECT_TRUE(std::filesystem::exists(root + "/home/Desktop/Shot.png"));
}

TEST_F(FileScanTest, RawPathsKeepTheirCaseAndNeedReadableFiles)
{
    Put("Data/Raw.BIN", "raw");
    EXPECT_EQ(Slurp("::Data/Raw.BIN"), "raw");
    EXPECT_EQ(Slurp("::data/raw.bin"), "<missing>");
    // A raw path that looks like an archive or memory reference is still a disk path.
    Put("@0:0,3", "at!");
    EXPECT_EQ(Slurp("::@0:0,3"), "at!");
}

TEST_F(FileScanTest, RescanAddsAndOverwrites)
{
    Put("assets/a.png", "a");
    TFile::ScanForResources();
    Put("home/User Data/b.dat", "b");
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("a.png"));
    EXPECT_TRUE(TFile::Exists("user:b.dat"));
    TFile::ShutDownFileSystem();
    EXPECT_TRUE(TFile::mResourceMap.empty());
    EXPECT_FALSE(TFile::Exists("a.png"));
}

TEST_F(FileScanTest, GetNextFileWalksTopLevelNamesInOrder)
{
    Put("home/User Data/b.dat", "");
    Put("home/User Data/A.dat", "");
    Put("home/User Data/sub/c.dat", "");
    Put("home/User Data/strings2.xml", "");
    Put("assets/z.png", "");
    TFile::ScanForResources();

    std::vector<std::string> names;
    str name;
    while (TFile::GetNextFile("user:", &name, false))
        names.push_back(name.c_str());
    EXPECT_EQ(names, (std::vector<std::string>{"user:a.dat", "user:b.dat", "user:strings2.xml"}));

    names.clear();
    name = "";
    while (TFile::GetNextFile("USER:", &name, true))
        names.push_back(name.c_str());
    EXPECT_EQ(names.size(), 4u);
    EXPECT_EQ(names[3], "user:sub/c.dat");  // "strings2" sorts before "sub/"

    name = "";
    EXPECT_FALSE(TFile::GetNextFile("common:", &name, false));
}

// Sets environment variables for one test and puts the old values back.
class ScopedEnv
{
public:
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        for (auto it = mSaved.rbegin(); it != mSaved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

TEST_F(FileScanTest, FoldersFollowTheDesktopConventions)
{
    ScopedEnv env;
    env.Set("HOME", "/home/someone");
    env.Set("XDG_DATA_HOME", "/data");
    env.Set("XDG_DESKTOP_DIR", "/desk");
    TFile::TFolders f = TFile::DefaultFolders("Gantrimole");
    EXPECT_STREQ(f.user.c_str(), "/data/Gantrimole");
    EXPECT_STREQ(f.common.c_str(), "/data/vantorell/Gantrimole");
    EXPECT_STREQ(f.desktop.c_str(), "/desk");

    env.Set("XDG_DATA_HOME", "relative/ignored");
    env.Set("XDG_DESKTOP_DIR", nullptr);
    f = TFile::DefaultFolders("g");
    EXPECT_STREQ(f.user.c_str(), "/home/someone/.local/share/g");
    EXPECT_STREQ(f.desktop.c_str(), "/home/someone/Desktop");
    EXPECT_FALSE(std::filesystem::exists("/data/Gantrimole"));
}

// Without HOME the account's home folder stands in; with neither there is no user folder.
TEST_F(FileScanTest, WithoutHomeTheAccountsHomeFolderIsUsed)
{
    const struct
    {
        const char* home;
        const char* account;
        const char* base;  // of the user folder and the desktop; empty: none
    } cases[] = {
        {nullptr, "/home/acct", "/home/acct"},
        {"relative", "/home/acct", "/home/acct"},
        {"/home/env", "/home/acct", "/home/env"},
        {nullptr, "", ""},
        {nullptr, "not/absolute", ""},
    };
    ScopedEnv env;
    env.Set("XDG_DATA_HOME", nullptr);
    env.Set("XDG_DESKTOP_DIR", nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.home ? c.home : "no HOME") + ", account " + c.account);
        env.Set("HOME", c.home);
        bool asked = false;
        const TFile::TFolders f = TFile::DefaultFolders("g", [&] {
            asked = true;
            return str(c.account);
        });
        // The account service is asked only without a usable HOME.
        EXPECT_EQ(asked, !c.home || c.home[0] != '/');
        const std::string base = c.base;
        EXPECT_EQ(std::string(f.user.c_str()), base.empty() ? "" : base + "/.local/share/g");
        EXPECT_EQ(std::string(f.desktop.c_str()), base.empty() ? "" : base + "/Desktop");
    }
}

TEST_F(FileScanTest, ResourceFolderComesFromTheEnvironmentFirst)
{
    ScopedEnv env;
    env.Set("TESSIVANDER_RESOURCES", root.c_str());
    EXPECT_EQ(std::string(TFile::LocateResourceDir().c_str()), root);
}

}  // namespace
