// The test helper that drops root's rights: what the body runs is reachable, and a failure says
// which part failed.

#include "common/unprivileged.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Unprivileged : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (std::string* dir : {&mClosed, &mWork}) {
            char pattern[] = "/tmp/tv_unpriv_XXXXXX";
            ASSERT_NE(mkdtemp(pattern), nullptr);
            *dir = pattern;
        }
        // A checkout in root's home: closed to everybody else.
        fs::permissions(mClosed, fs::perms::owner_all);
        mTool = mClosed + "/tool.sh";
        std::ofstream(mTool) << "#!/bin/sh\nexit 7\n";
        fs::permissions(mTool, fs::perms::owner_all);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(mClosed, ec);
        fs::remove_all(mWork, ec);
    }

    std::string mClosed, mWork, mTool;
};

TEST_F(Unprivileged, AProgramFromAClosedFolderIsRunAsTheUser)
{
    RunUnprivileged(mWork, mTool, [&](const std::string& runnable) {
        const int status = std::system(runnable.c_str());
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 7);
    });
}

TEST_F(Unprivileged, AFailureSaysWhichPartFailed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root gives up its rights";
    const std::string inside = mClosed + "/work";
    fs::create_directory(inside);
    const struct
    {
        std::string folder;
        std::string program;
        unsigned user;
        void (*body)();
        const char* said;
    } cases[] = {
        {mWork, "", 65534, [] { _exit(1); }, "failed: the body failed"},
        {mWork, "", unsigned(-1), [] {}, "failed: could not give up root"},
        {inside, "", 65534, [] {}, "failed: that user cannot reach the folder"},
        {mWork, "/tv_no_such/tool", 65534, [] {}, "cannot run /tv_no_such/tool and no copy of it could be made"},
        {mWork, "", 65534, [] { raise(SIGTERM); }, "ended by signal 15"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        EXPECT_NONFATAL_FAILURE(RunUnprivileged(
                                    c.folder, c.program, [&](const std::string&) { c.body(); }, c.user),
                                c.said);
    }
}

}  // namespace
