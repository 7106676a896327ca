#include "platform/sdl/account_home.h"

#include "core/debug/debug_log.h"

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

str AccountHome()
{
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? size_t(hint) : 1024);
    passwd entry{};
    passwd* found = nullptr;
    int error = 0;
    // A long entry asks for a larger buffer.
    while ((error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (error != 0 || !found) {
        WriteDbg("No home folder for user %u in the account database (%s)", unsigned(getuid()),
                 error ? strerror(error) : "no entry");
        return str("");
    }
    // Only an absolute path names a folder whatever the working folder.
    if (!found->pw_dir || found->pw_dir[0] != '/')
        return str("");
    return str(found->pw_dir);
}
