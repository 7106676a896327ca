// Once broken pipes are ignored, a write whose reader went away fails with EPIPE and a stray
// SIGPIPE does nothing, while a program started from here still meets the default handling.
#include "platform/sdl/broken_pipe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

TEST(BrokenPipe, AWriteToAGoneReaderFailsQuietlyAndChildrenKeepTheDefault)
{
    IgnoreBrokenPipes();
    EXPECT_EQ(raise(SIGPIPE), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    errno = 0;
    EXPECT_EQ(write(fds[1], "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    close(fds[1]);

    char sh[] = "sh", flag[] = "-c", command[] = "kill -PIPE $$";
    char* argv[] = {sh, flag, command, nullptr};
    pid_t child = -1;
    ASSERT_EQ(posix_spawn(&child, "/bin/sh", nullptr, nullptr, argv, environ), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
}

}  // namespace
