#include "core/files/make_folders.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "core/debug/debug_log.h"

bool MakeFoldersFor(const str& diskPath)
{
    const std::string path(diskPath.c_str());
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        struct stat st;
        // Asked first: making a folder that is there fails on a read-only disk.
        if (stat(folder.c_str(), &st) == 0 || mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST)
            continue;
        const int error = errno;
        WriteDbg("Cannot create folder %s: %s", folder.c_str(), std::strerror(error));
        errno = error;
        return false;
    }
    return true;
}
