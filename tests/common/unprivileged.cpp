#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

// Gives up root's rights for good; false when they cannot be given up.
bool BecomeUser(uid_t user)
{
    return setgroups(0, nullptr) == 0 && setgid(user) == 0 && setuid(user) == 0;
}

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
        if (!BecomeUser(user))
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

std::string RunnableUnprivileged(const std::string& file, const std::string& folder)
{
    if (geteuid() != 0)
        return file;
    const pid_t child = fork();
    if (child == 0)
        _exit(BecomeUser(kNobody) && access(file.c_str(), X_OK) == 0 ? 0 : 1);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return file;
    namespace fs = std::filesystem;
    const fs::path copy = fs::path(folder) / fs::path(file).filename();
    std::error_code ec;
    fs::copy_file(file, copy, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::permissions(copy,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                            fs::perms::others_exec,
                        ec);
    return ec ? std::string() : copy.string();
}
