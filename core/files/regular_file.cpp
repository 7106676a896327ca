#include "core/files/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/debug/debug_log.h"

namespace {

const char* WhyNotRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder, not a regular file";
    if (S_ISFIFO(mode))
        return "it is a pipe, not a regular file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    return "it is not a regular file";
}

}  // namespace

FILE* OpenRegularFile(const str& path, struct stat* info)
{
    if (path.empty())
        return nullptr;
    // Not blocking: opening a pipe for reading waits for a writer that may never come.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            WriteDbg("Not reading '%s': %s", path.c_str(), std::strerror(errno));
        return nullptr;
    }
    struct stat found;
    const bool known = fstat(fd, &found) == 0;
    if (known && info)
        *info = found;
    const char* why = !known ? std::strerror(errno) : S_ISREG(found.st_mode) ? nullptr : WhyNotRegular(found.st_mode);
    if (why) {
        WriteDbg("Not reading '%s': %s", path.c_str(), why);
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* stream = fdopen(fd, "rb");
    if (!stream)
        close(fd);
    return stream;
}
