// Data the game cannot do without, missing or damaged: its data folder, the interface script,
// the main menu's layout, the scene list, a scene's script, a screen whose script fails at its
// top. The player is told in words which file, and the game ends through its quit or goes on;
// the saved game is still there.

#include "game/demo/demo_hops.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using TMake = std::function<void(const std::string& path)>;

void MakeFolder(const std::string& path)
{
    fs::remove(path);
    fs::create_directories(path + "/inside");
}

void MakeEmpty(const std::string& path)
{
    WriteBytes(path, "");
}

void MakeBlank(const std::string& path)
{
    WriteBytes(path, "\n   \n\t\n");
}

void MakeCommentsOnly(const std::string& path)
{
    WriteBytes(path, "-- Nothing\n--[[ here\nyet. ]]\n");
}

void MakePipe(const std::string& path)
{
    fs::remove(path);
    mkfifo(path.c_str(), 0644);
}

void MakeEndless(const std::string& path)
{
    fs::remove(path);
    fs::create_symlink("/dev/zero", path);
}

// A home in the data copy whose player "Ann" has a saved game.
std::string SavedHome(const TDataCopy& data)
{
    const std::string home = data.Dir() + "/saved";
    TDemoRun run(data.Dir(), home);
    EXPECT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    StartANewGameAs(run, "Ann");
    EXPECT_TRUE(run.WaitFor("SAVED GAME IN SCENE")) << run.Log();
    run.Signal(SIGTERM);
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    return home;
}

std::string SavedName(const TDemoRun& run)
{
    const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
    return slot.values.count("name") ? slot.values.at("name") : "";
}

TEST(DemoCoreFiles, ACoreFileThatDoesNotOpenIsNamedAndTheGameEndsWithItsSavesKept)
{
    TDataCopy data;
    const std::string saved = SavedHome(data);
    const struct
    {
        const char* file;
        TMake make;
    } cases[] = {
        {"layouts/mainmenu.lua", MakeFolder},  {"layouts/mainmenu.lua", MakePipe},
        {"layouts/mainmenu.lua", MakeEndless}, {"layouts/mainmenu.lua", MakeEmpty},
        {"layouts/mainmenu.lua", MakeBlank},   {"layouts/mainmenu.lua", MakeCommentsOnly},
        {"scripts/mainloop.lua", MakeEmpty},   {"scripts/mainloop.lua", MakeFolder},
        {"quest/scenelist.lua", MakeEmpty},    {"quest/scenelist.lua", MakeFolder},
    };
    for (const auto& c : cases) {
        const std::string home = data.Dir() + "/" + std::to_string(&c - cases);
        SCOPED_TRACE(home + " " + c.file);
        fs::copy(saved, home, fs::copy_options::recursive);
        const std::string path = data.Dir() + "/assets/" + c.file;
        const std::string whole = ReadBytes(path);
        c.make(path);
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor(std::string("Error reported to the player: ") + c.file)) << run.Log();
        run.Send("300 key return");
        EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
        EXPECT_EQ(SavedName(run), "Ann");
        fs::remove_all(path);
        WriteBytes(path, whole);
    }
}

TEST(DemoCoreFiles, WithoutItsDataFolderTheGameSaysWhyInTheSystemsBoxAndEnds)
{
    TDataCopy data;
    const std::string file = data.Dir() + "/plain";
    WriteBytes(file, "not a folder");
    const std::string empty = data.Dir() + "/empty";
    fs::create_directories(empty + "/assets");
    const struct
    {
        std::string folder;
        const char* told;
    } cases[] = {
        {data.Dir() + "/nowhere", " does not exist."},
        {file, " is not a folder."},
        {empty, " has an empty assets folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        TDemoRun run(c.folder, data.Dir() + "/home");
        ASSERT_TRUE(run.WaitFor("Message box for the player: The game cannot start: The game's data folder " +
                                c.folder + c.told))
            << run.Log();
        EXPECT_EQ(run.Finish(), 0) << run.Log();
        EXPECT_EQ(run.Log().find("Unhandled exception"), std::string::npos) << run.Log();
    }
}

// A program kept away from its data (nothing named in the environment, no assets/ above it) is
// started from the data folder by hand: the working folder is taken; elsewhere it is refused.
TEST(DemoCoreFiles, AProgramAwayFromItsDataTakesAWorkingFolderThatHoldsIt)
{
    TDataCopy data;
    char pattern[] = "/tmp/tv_program_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string away = pattern;
    const std::string program = away + "/tessivander";
    fs::copy_file(ProgramPath(), program);
    const struct
    {
        std::string cwd;
        const char* told;
        bool playing;  // else the game ends by itself after the system's box
    } cases[] = {
        {data.Dir(), "Menu shown: layouts/mainmenu.lua", true},
        {away, "Message box for the player: The game cannot start: No folder holding the game's data", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cwd);
        TDemoRun run("", c.cwd, {"TESSIVANDER_RESOURCES"}, program);
        ASSERT_TRUE(run.WaitFor(c.told)) << run.Log();
        if (c.playing)
            run.Signal(SIGTERM);
        EXPECT_EQ(run.Finish(), 0) << run.Log();
    }
    fs::remove_all(away);
}

// The first scene's: the game does not start, and the menu is where the player was.
TEST(DemoCoreFiles, ASceneScriptThatDoesNotOpenGetsTheErrorDialogAndThePlayerStaysOnTheMenu)
{
    TDataCopy data;
    const std::string path = data.Dir() + "/assets/quest/cottage/cottage.lua";
    const std::string whole = ReadBytes(path);
    const struct
    {
        TMake make;
        const char* told;
    } cases[] = {
        {MakeEmpty, "quest/cottage/cottage.lua makes no scene"},
        {MakeCommentsOnly, "quest/cottage/cottage.lua makes no scene"},
        {MakeFolder, "cannot open quest/cottage/cottage.lua"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        c.make(path);
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor(std::string("GLOBAL LUA ERROR:script load:") + c.told)) << run.Log();
        ASSERT_TRUE(run.WaitFor("Error reported to the player: script load")) << run.Log();
        const size_t mark = run.Log().size();
        run.Send("300 key return");
        ASSERT_TRUE(ClickUntil(run, kOptionsX, kOptionsY, "Opening layouts/options.lua", mark)) << run.Log();
        QuitThroughTheDialog(run);
        fs::remove_all(path);
        WriteBytes(path, whole);
    }
}

// New on the player choice opens the name dialog.
TEST(DemoCoreFiles, AScreenFailingAtItsTopIsReportedAndTheMenuComesBack)
{
    TDataCopy data;
    const struct
    {
        const char* file;
        std::function<void(TDemoRun&)> reach;
        TMake make;  // none: an error at its top
        const char* told = "this screen is broken";
    } cases[] = {
        {"layouts/entername.lua",
         [](TDemoRun& run) {
             ASSERT_TRUE(ClickUntil(run, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", 0)) << run.Log();
             run.Send(Click(kNewX, kPageButtonY));
         },
         nullptr},
        {"layouts/game.lua", [](TDemoRun& run) { StartANewGameAs(run, "Ann"); }, nullptr},
        // One that makes no window fails as one whose script fails.
        {"layouts/game.lua", [](TDemoRun& run) { StartANewGameAs(run, "Ann"); }, MakeCommentsOnly,
         "assets/layouts/game.lua makes no window"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        const std::string path = data.Dir() + "/assets/" + c.file;
        const std::string whole = ReadBytes(path);
        if (c.make)
            c.make(path);
        else
            WriteBytes(path, "error(\"this screen is broken\")\n" + whole);
        TDemoRun run(data.Dir());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(c.reach(run));
        ASSERT_TRUE(run.WaitFor(std::string("Error reported to the player: ") + c.file)) << run.Log();
        const size_t mark = run.Log().find(std::string("Error reported to the player: ") + c.file);
        EXPECT_NE(run.Log().find(c.told), std::string::npos) << run.Log();
        EXPECT_NE(run.Log().find("Menu shown: layouts/mainmenu.lua", run.Log().find("it starts again")),
                  std::string::npos)
            << run.Log();
        run.Send("300 key return");
        // The menu answers again.
        ASSERT_TRUE(ClickUntil(run, kOptionsX, kOptionsY, "Opening layouts/options.lua", mark)) << run.Log();
        QuitThroughTheDialog(run);
        WriteBytes(path, whole);
    }
}

}  // namespace
