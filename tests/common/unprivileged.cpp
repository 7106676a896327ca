#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void HandOver(const std::string& folder, uid_t user)
{
    namespace fs = std::filesystem;
    lchown(folder.c_str(), user, user);
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        lchown(entry.path().c_str(), user, user);
}

}  // namespace

void RunUnprivileged(const std::string& folder, const std::function<void()>& body, unsigned user)
{
    if (geteuid() != 0) {
        body();
        return;
    }
    HandOver(folder, user);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0)
            _exit(3);
        body();
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged part ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged part failed (3: could not give up root)";
}
