#include "core/files/path_util.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace tv_files {

str Lower(const str& s)
{
    str r(s);
    r.downcase();
    return r;
}

bool StartsWith(const str& s, const char* prefix)
{
    return std::strncmp(s.c_str(), prefix, std::strlen(prefix)) == 0;
}

str After(const str& s, unsigned n)
{
    return n >= s.length() ? str("") : s.substr(n);
}

bool ParseNumber(const char* p, uint64_t* value)
{
    if (*p < '0' || *p > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long v = std::strtoull(p, &end, 10);
    if (errno == ERANGE)
        return false;
    *value = v;
    return true;
}

bool IsReadable(const str& diskPath)
{
    return !diskPath.empty() && access(diskPath.c_str(), R_OK) == 0;
}

uint32_t SeekTarget(uint32_t position, uint32_t size, long offset, eFileSeek whence, bool* inside)
{
    int64_t target = position;
    if (whence == kSeekStart)
        target = offset;
    else if (whence == kSeekEnd)
        target = int64_t(size) + offset;
    else if (whence == kSeekCurrent)
        target = int64_t(position) + offset;
    *inside = target >= 0 && target <= int64_t(size);
    return *inside ? static_cast<uint32_t>(target) : size;
}

}  // namespace tv_files
