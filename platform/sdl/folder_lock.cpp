#include "platform/sdl/folder_lock.h"

#include "core/debug/debug_log.h"
#include "core/files/make_folders.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Logs the call that failed with `error`, which errno keeps for the caller.
EFolderLock Unavailable(const str& lockPath, const char* step, int error)
{
    WriteDbg("Cannot lock '%s': %s (%s)", lockPath.c_str(), step, strerror(error));
    errno = error;
    return EFolderLock::kUnavailable;
}

}  // namespace

EFolderLock LockFolder(const str& lockPath)
{
    // Held until the process ends: the descriptor is never closed.
    static str held;
    if (!held.empty() && held == lockPath)
        return EFolderLock::kHeld;
    if (lockPath.empty()) {
        // No call failed: errno says what opening no path at all meets.
        WriteDbg("Cannot lock the user folder: there is none (no home folder is known)");
        errno = ENOENT;
        return EFolderLock::kUnavailable;
    }
    if (!MakeFoldersFor(lockPath))
        return Unavailable(lockPath, "its folder cannot be made", errno);
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return Unavailable(lockPath, "the file cannot be opened", errno);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return error == EWOULDBLOCK ? EFolderLock::kTaken : Unavailable(lockPath, "the file cannot be locked", error);
    }
    held = lockPath;
    return EFolderLock::kHeld;
}
