#include "online/web/temp_file.h"

#include "core/debug/debug_log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

str TempFolder()
{
    const char* dir = getenv("TMPDIR");
    return str(dir && *dir ? dir : "/tmp");
}

FILE* OpenTempFile(const str& folder, const char* suffix, str* path)
{
    const std::string name = std::string(folder.c_str()) + "/tvmovieXXXXXX" + suffix;
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back(0);
    const int fd = mkstemps(buffer.data(), int(strlen(suffix)));
    if (fd < 0) {
        WriteDbg("unable to open tmp file %s: %s", name.c_str(), strerror(errno));
        return nullptr;
    }
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        WriteDbg("unable to open tmp file %s: %s", buffer.data(), strerror(errno));
        close(fd);
        unlink(buffer.data());
        return nullptr;
    }
    *path = str(buffer.data());
    return file;
}
