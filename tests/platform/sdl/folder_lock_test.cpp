// The lock of the user folder when it cannot be had: the log says why, errno holds the cause.

#include "platform/sdl/folder_lock.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TEST(FolderLock, WhatKeepsTheLockOutIsLoggedAndLeftInErrno)
{
    char pattern[] = "/tmp/tv_lock_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::ofstream(dir + "/plain") << "a file";
    const struct
    {
        std::string path;
        const char* said;  // in the log line
        int error;
    } cases[] = {
        {"", "no home folder is known", ENOENT},
        {dir + "/plain/lock", "Not a directory", ENOTDIR},
        {"/proc/tv_no_such/lock", "its folder cannot be made", ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        TLogCapture log;
        errno = 0;
        EXPECT_EQ(LockFolder(c.path.c_str()), EFolderLock::kUnavailable);
        EXPECT_EQ(errno, c.error) << std::strerror(errno);
        const std::string text = log.Text();
        EXPECT_NE(text.find(c.said), std::string::npos) << text;
        EXPECT_EQ(text.find(std::strerror(0)), std::string::npos) << text;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
