// A score server whose table is far longer than any screen shows: the high-score screen goes on
// answering while the reply comes in and is read, and shows the rows the table keeps.

#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"
#include "online/support/test_score_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The high-score screen's "View online" and "Close".
constexpr int kViewOnlineX = 640, kViewOnlineY = 310;
constexpr int kScoresCloseX = 640, kScoresCloseY = 554;

// Milliseconds `step` took.
template <class F>
long Timed(F step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

TEST(DemoScores, AHugeScoreTableLeavesTheScreenAnsweringAndShowsTheRowsItKeeps)
{
    std::string table = "<hiscore><scores>";
    for (int i = 1; i <= 400000; ++i)
        table += "<score name=\"p" + std::to_string(i) + "\" score=\"" + std::to_string(i) + "\"/>";
    table += "</scores></hiscore>";
    ASSERT_GT(table.size(), 11u << 20);

    TestScoreServer server;
    server.QueueReply(TestReply::Xml(R"(<hiscore><tables><table table="all" name="All time"/></tables></hiscore>)"));
    server.QueueReply(TestReply::Xml(table));
    const fs::path home = fs::temp_directory_path() / ("tv-scores-" + std::to_string(getpid()));
    fs::create_directories(home);
    std::ofstream(home / "hiscoreserver.txt") << server.Url() << "\n";
    {
        TDemoRun run(BuildRoot(), home.string());
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_TRUE(ClickUntil(run, kScoresX, kScoresY, "Opening layouts/hiscore.lua", 0)) << run.Log();
        run.Send(Click(kViewOnlineX, kViewOnlineY));
        ASSERT_TRUE(server.WaitForRequests(2, 20000)) << run.Log();

        // Frames go on while the table arrives and is read: each picture asked for comes at once.
        const std::string shot = ArtifactDir() + "/scores-huge-table.png";
        const std::string read = "server sent more than 500 scores; the rest are dropped";
        long slowest = 0;
        for (int i = 0; i < 100 && run.Log().find(read) == std::string::npos; ++i) {
            bool taken = false;
            slowest = std::max(slowest, Timed([&] { taken = run.Screenshot(shot); }));
            ASSERT_TRUE(taken) << run.Log();
        }
        EXPECT_LT(slowest, 2500);
        ASSERT_TRUE(run.WaitFor(read)) << run.Log();
        ASSERT_TRUE(run.Screenshot(ArtifactDir() + "/scores-huge-table-read.png")) << run.Log();
        const size_t mark = run.Log().size();
        run.Send(Click(kScoresCloseX, kScoresCloseY));
        bool closed = false;
        EXPECT_LT(Timed([&] { closed = run.WaitFor("Closed layouts/hiscore.lua", 20000, mark); }), 2500);
        ASSERT_TRUE(closed) << run.Log();
        QuitThroughTheDialog(run);
    }
    std::error_code ec;
    fs::remove_all(home, ec);
}

}  // namespace
