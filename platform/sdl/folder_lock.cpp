#include "platform/sdl/folder_lock.h"

#include "core/debug/debug_log.h"
#include "core/files/make_folders.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

EFolderLock LockFolder(const str& lockPath)
{
    // Held until the process ends: the descriptor is never closed.
    static str held;
    if (!held.empty() && held == lockPath)
        return EFolderLock::kHeld;
    if (lockPath.empty() || !MakeFoldersFor(lockPath)) {
        WriteDbg("Cannot lock '%s': no folder for it (%s)", lockPath.c_str(), strerror(errno));
        return EFolderLock::kUnavailable;
    }
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        WriteDbg("Cannot lock '%s': %s", lockPath.c_str(), strerror(errno));
        return EFolderLock::kUnavailable;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK)
            return EFolderLock::kTaken;
        WriteDbg("Cannot lock '%s': %s", lockPath.c_str(), strerror(error));
        return EFolderLock::kUnavailable;
    }
    held = lockPath;
    return EFolderLock::kHeld;
}
