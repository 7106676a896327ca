// Input from outside that is meant to hurt: user files that are folders, pipes, absurdly large
// or nested without end; a score server that answers with an error page or with XML nested
// deeper than any reader should follow; screen scripts that fail; damaged data files. The
// program starts, says what it met and where, and leaves the player in control.

#include "game/demo/demo_hops.h"
#include "game/demo/demo_steps.h"
#include "online/support/test_score_server.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void ExpectLogged(const TDemoRun& run, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        EXPECT_NE(run.Log().find(text), std::string::npos) << text << "\nin\n" << run.Log();
}

void EndCleanly(TDemoRun& run)
{
    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
    EXPECT_EQ(run.Log().find("Unhandled exception"), std::string::npos) << run.Log();
}

std::string UserFolder(const std::string& home)
{
    return home + "/share/tessivander";
}

TEST(DemoHostile, UserFilesThatCannotBeReadAreSetAsideAndTheGameStartsAndSaves)
{
    TDataCopy data;
    const struct
    {
        const char* file;
        std::function<void(const std::string& path)> make;
        const char* logged;
        fs::file_type asideType;
    } cases[] = {
        {"prefs.dat", [](const std::string& path) { fs::create_directories(path + "/inside"); },
         "Moved damaged 'user:prefs.dat' (not a regular file) aside as 'user:prefs.dat.bad'", fs::file_type::directory},
        {"prefs.dat", [](const std::string& path) { mkfifo(path.c_str(), 0644); },
         "Moved damaged 'user:prefs.dat' (not a regular file) aside as 'user:prefs.dat.bad'", fs::file_type::fifo},
        {"hiscore.dat", [](const std::string& path) { mkfifo(path.c_str(), 0644); },
         "Moved damaged 'user:hiscore.dat' (not a regular file) aside as 'user:hiscore.dat.bad'", fs::file_type::fifo},
        {"hiscore.dat", [](const std::string& path) { WriteBytes(path, ""), fs::resize_file(path, 200u << 20); },
         "Moved damaged 'user:hiscore.dat' (too large to copy) aside as 'user:hiscore.dat.bad'",
         fs::file_type::regular},
        // The older form of the preferences, its elements nested 200,000 deep.
        {"prefs.dat",
         [](const std::string& path) {
             std::string deep = "<>";
             for (int i = 0; i < 200000; ++i)
                 deep += "<data1>";
             WriteBytes(path, deep);
         },
         "Kept a copy of damaged 'user:prefs.dat' as 'user:prefs.dat.bad'", fs::file_type::regular},
    };
    for (const auto& c : cases) {
        const std::string home = data.Dir() + "/" + std::to_string(&c - cases);
        SCOPED_TRACE(home + " " + c.file);
        fs::create_directories(UserFolder(home));
        const std::string path = UserFolder(home) + "/" + c.file;
        c.make(path);
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ExpectLogged(run, {c.logged});
        // Lost players are told of before anything else.
        if (std::string(c.file) == "prefs.dat") {
            ASSERT_TRUE(run.WaitFor("Error reported to the player: prefs_damaged_title")) << run.Log();
            run.Send("300 key return");
            ASSERT_TRUE(run.WaitFor("The player closed the notice prefs_damaged_title")) << run.Log();
        }
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor("EarnAward(award_woke_up)")) << run.Log();
        EndCleanly(run);
        EXPECT_EQ(fs::status(path + ".bad").type(), c.asideType);
        EXPECT_TRUE(!fs::exists(path) || fs::is_regular_file(path)) << path;
        const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
        EXPECT_TRUE(slot.whole);
        EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann");
    }
}

// The score server's address file in the working folder, a pipe or a folder: the game starts
// without a score server and says why.
TEST(DemoHostile, AServerAddressFileThatIsNoFileLeavesNoServerAndTheGameStarts)
{
    TDataCopy data;
    const struct
    {
        std::function<void(const std::string& path)> make;
        const char* logged;
    } cases[] = {
        {[](const std::string& path) { mkfifo(path.c_str(), 0644); },
         "Not reading 'hiscoreserver.txt': it is a pipe, not a regular file"},
        {[](const std::string& path) { fs::create_directories(path); },
         "Not reading 'hiscoreserver.txt': it is a folder, not a regular file"},
    };
    for (const auto& c : cases) {
        const std::string home = data.Dir() + "/" + std::to_string(&c - cases);
        SCOPED_TRACE(c.logged);
        fs::create_directories(home);
        c.make(home + "/hiscoreserver.txt");
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ExpectLogged(run, {c.logged});
        EndCleanly(run);
    }
}

// The high-score screen's "View online" and "Close".
constexpr int kViewOnlineX = 640, kViewOnlineY = 310;
constexpr int kScoresCloseX = 640, kScoresCloseY = 554;

TEST(DemoHostile, AScoreServerErrorPageOrADeepReplyFailsTheRequestAndTheScreenGoesOn)
{
    TDataCopy data;
    std::string deep = "<hiscore>";
    for (int i = 0; i < 120000; ++i)
        deep += "<a>";
    const struct
    {
        const char* what;
        TestReply reply;
        const char* logged;
    } cases[] = {
        // Were it taken, the screen would go on to ask for the scores.
        {"an error page", TestReply::Error500(), "the server answered with status 500 and no score reply"},
        {"XML nested 120,000 deep", TestReply::Xml(deep), "elements nest deeper than 256 levels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string home = data.Dir() + "/" + std::to_string(&c - cases);
        fs::create_directories(home);
        TestScoreServer server;
        server.SetDefaultReply(c.reply);
        std::ofstream(home + "/hiscoreserver.txt") << server.Url() << "\n";
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_TRUE(ClickUntil(run, kScoresX, kScoresY, "Opening layouts/hiscore.lua", 0)) << run.Log();
        run.Send(Click(kViewOnlineX, kViewOnlineY));
        ASSERT_TRUE(server.WaitForRequests(1, 20000)) << run.Log();
        ASSERT_TRUE(run.WaitFor(c.logged)) << run.Log();
        const size_t mark = run.Log().size();
        run.Send(Click(kScoresCloseX, kScoresCloseY));
        ASSERT_TRUE(run.WaitFor("Closed layouts/hiscore.lua", 20000, mark)) << run.Log();
        EXPECT_EQ(server.RequestCount(), 1u);
        QuitThroughTheDialog(run);
    }
}

TEST(DemoHostile, AFailingScreenScriptIsReportedAndThePlayerStaysWhereTheyWere)
{
    TDataCopy data;
    data.Append("layouts/options.lua", "\nerror(\"the options are broken\")\n");
    data.Append("scripts/pause.lua", "\nerror(\"the pause is broken\")\n");
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_TRUE(ClickUntil(run, kOptionsX, kOptionsY, "Error reported to the player: layouts/options.lua", 0))
        << run.Log();
    ExpectLogged(run, {"the options are broken"});
    run.Send("300 key return");
    ASSERT_TRUE(run.WaitFor("Closed layouts/options.lua")) << run.Log();
    // The menu answers again.
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("EarnAward(award_woke_up)")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(
        CloseAwardNotice(run, run.Log().find("EarnAward(award_woke_up)"), run.TempDir() + "/award.png"));

    size_t mark = run.Log().size();
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Error reported to the player: scripts/pause.lua", 20000, mark)) << run.Log();
    run.Send("300 key return");
    ASSERT_TRUE(run.WaitFor("PAUSE:::::::::::::::::: EXITED", 20000, mark)) << run.Log();
    // Play goes on, and the close box still asks.
    mark = run.Log().size();
    run.Send(Click(550, 440));
    ASSERT_TRUE(run.WaitFor("MET_Event(ClickedOnZone, Ground, )", 20000, mark)) << run.Log();
    QuitThroughTheDialog(run);
}

TEST(DemoHostile, EveryDataFileThatFailsToLoadIsNamedInTheLog)
{
    TDataCopy data;
    data.Remove("fonts/bold.mvec");
    for (const char* file : {"strings.xml", "quest/cottage/strings_cottage.xml", "anims/mira.xml"}) {
        const std::string path = data.Dir() + "/assets/" + file;
        const std::string whole = ReadBytes(path);
        WriteBytes(path, whole.substr(0, whole.size() / 2));
    }
    TDemoRun run(data.Dir());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
    ExpectLogged(run, {"font fonts/bold.mvec is missing", "String table 'strings.xml' is cut off",
                       "String table 'quest/cottage/strings_cottage.xml' is cut off",
                       "XML warning in anims/mira.xml: the input ends inside an element"});
    EndCleanly(run);
}

}  // namespace
