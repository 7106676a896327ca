#include "tools/input/bounded_read.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

std::string TooLarge(const std::string& path, size_t limit)
{
    return path + " is larger than " + std::to_string(limit) + " bytes";
}

}  // namespace

bool ReadBoundedFile(const std::string& path, size_t limit, std::vector<char>* bytes, std::string* error)
{
    bytes->clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = "cannot read " + path + " (" + std::strerror(errno) + ")";
        return false;
    }
    // A regular file too large is refused before a byte of it is read.
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) > limit) {
        std::fclose(f);
        *error = TooLarge(path, limit);
        return false;
    }
    char chunk[65536];
    bool ok = true;
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (n > limit - bytes->size()) {
            *error = TooLarge(path, limit);
            ok = false;
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + n);
    }
    if (ok && std::ferror(f)) {
        *error = "cannot read " + path + " (" + std::strerror(errno) + ")";
        ok = false;
    }
    std::fclose(f);
    if (!ok)
        bytes->clear();
    return ok;
}
