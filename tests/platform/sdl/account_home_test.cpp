// The home folder from the account database: the user's own line of the password file, and
// none for a user the database does not know.

#include "platform/sdl/account_home.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The home field of the password file's line for `uid`; false when the file has none.
bool PasswdHome(uid_t uid, std::string* home)
{
    std::ifstream in("/etc/passwd");
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ':');)
            fields.push_back(field);
        if (fields.size() >= 6 && fields[2] == std::to_string(uid)) {
            *home = fields[5];
            return true;
        }
    }
    return false;
}

TEST(AccountHome, IsTheHomeOfTheUsersAccount)
{
    std::string home;
    if (!PasswdHome(getuid(), &home))
        GTEST_SKIP() << "the user is not in /etc/passwd";
    EXPECT_EQ(std::string(AccountHome().c_str()), home);
}

TEST(AccountHome, IsEmptyForAUserTheDatabaseDoesNotKnow)
{
    uid_t stranger = 47113;
    std::string unused;
    while (PasswdHome(stranger, &unused))
        ++stranger;
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can become a user without an account";
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(stranger) != 0 || setuid(stranger) != 0)
            _exit(3);
        _exit(AccountHome().empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: could not become the user; 1: a home was found";
}

}  // namespace
