// Once the harmless signals are handled, a write whose reader went away fails with EPIPE, a
// write past the file-size limit fails with EFBIG, and a stray signal does nothing, while a
// program started from here still meets the default handling.
#include "platform/sdl/harmless_signals.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Each writes one byte where the write must fail; the errno it fails with.
int WriteToAGoneReader()
{
    int fds[2];
    if (pipe(fds) != 0)
        return 0;
    close(fds[0]);
    errno = 0;
    const ssize_t n = write(fds[1], "x", 1);
    const int error = n < 0 ? errno : 0;
    close(fds[1]);
    return error;
}

int WritePastTheSizeLimit()
{
    char path[] = "/tmp/tv_harmless_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return 0;
    unlink(path);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit none = old;
    none.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &none);
    errno = 0;
    const ssize_t n = write(fd, "x", 1);
    const int error = n < 0 ? errno : 0;
    setrlimit(RLIMIT_FSIZE, &old);
    close(fd);
    return error;
}

struct TCase
{
    int signal;
    int (*write)();
    int error;
};

TEST(HarmlessSignals, AFailedWriteIsAnErrorAndChildrenKeepTheDefault)
{
    IgnoreHarmlessSignals();
    for (const TCase& c : {TCase{SIGPIPE, &WriteToAGoneReader, EPIPE}, TCase{SIGXFSZ, &WritePastTheSizeLimit, EFBIG}}) {
        SCOPED_TRACE(strsignal(c.signal));
        EXPECT_EQ(raise(c.signal), 0);
        EXPECT_EQ(c.write(), c.error);

        char sh[] = "sh", flag[] = "-c";
        std::string command = "kill -" + std::to_string(c.signal) + " $$";
        char* argv[] = {sh, flag, command.data(), nullptr};
        pid_t child = -1;
        ASSERT_EQ(posix_spawn(&child, "/bin/sh", nullptr, nullptr, argv, environ), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
    }
}

}  // namespace
