#include "common/unprivileged.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// How the child that gives up root's rights ends.
enum EChildEnd : int
{
    kPassed = 0,
    kBodyFailed = 1,
    kStillRoot = 2,
    kFolderClosed = 3,
    kProgramClosed = 4,
};

// Gives up root's rights for good; false when they cannot be given up.
bool BecomeUser(uid_t user)
{
    return setgroups(0, nullptr) == 0 && setgid(user) == 0 && setuid(user) == 0;
}

// Whether `user` may do `mode` (as access() takes it) with `path`, asked as that user.
bool UserMay(uid_t user, const std::string& path, int mode)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(BecomeUser(user) && access(path.c_str(), mode) == 0 ? 0 : 1);
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void HandOver(const std::string& folder, uid_t user)
{
    lchown(folder.c_str(), user, user);
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        lchown(entry.path().c_str(), user, user);
}

// `program` when `user` can run it, else a copy in `folder`; empty when no copy can be made.
std::string Runnable(const std::string& program, const std::string& folder, uid_t user)
{
    if (UserMay(user, program, X_OK))
        return program;
    const fs::path copy = fs::path(folder) / fs::path(program).filename();
    std::error_code ec;
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::permissions(copy,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
                            fs::perms::others_exec,
                        ec);
    return ec ? std::string() : copy.string();
}

std::string Why(int code, const std::string& program, const std::string& runnable, uid_t user)
{
    switch (code) {
    case kBodyFailed: {
        std::string why = "the body failed (its failures are above)";
        // A body that starts a program of the build tree without naming it.
        std::error_code ec;
        const std::string own = fs::read_symlink("/proc/self/exe", ec).parent_path().string();
        if (program.empty() && !own.empty() && !UserMay(user, own, X_OK))
            why += "; the build tree is closed to that user, so a program it starts from there must be named";
        return why;
    }
    case kStillRoot: return "could not give up root";
    case kFolderClosed: return "that user cannot reach the folder";
    case kProgramClosed:
        return runnable.empty() ? "that user cannot run " + program + " and no copy of it could be made"
                                : "that user cannot run " + runnable;
    default: return "it ended with the unexpected code " + std::to_string(code);
    }
}

}  // namespace

void RunUnprivileged(const std::string& folder, const std::function<void()>& body, unsigned user)
{
    RunUnprivileged(
        folder, std::string(), [&](const std::string&) { body(); }, user);
}

void RunUnprivileged(const std::string& folder, const std::string& program,
                     const std::function<void(const std::string& runnable)>& body, unsigned user)
{
    if (geteuid() != 0) {
        body(program);
        return;
    }
    const std::string runnable = program.empty() ? program : Runnable(program, folder, user);
    HandOver(folder, user);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0) << std::strerror(errno);
    if (child == 0) {
        if (!BecomeUser(user))
            _exit(kStillRoot);
        if (access(folder.c_str(), X_OK) != 0)
            _exit(kFolderClosed);
        if (!program.empty() && (runnable.empty() || access(runnable.c_str(), X_OK) != 0))
            _exit(kProgramClosed);
        body(runnable);
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? kBodyFailed : kPassed);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child) << std::strerror(errno);
    const std::string part = "the part run as user " + std::to_string(user) + " in " + folder;
    if (!WIFEXITED(status)) {
        ADD_FAILURE() << part << " ended by signal " << WTERMSIG(status) << " (" << strsignal(WTERMSIG(status)) << ")";
        return;
    }
    EXPECT_EQ(WEXITSTATUS(status), kPassed) << part << " failed: " << Why(WEXITSTATUS(status), program, runnable, user);
}
