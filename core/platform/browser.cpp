#include "core/platform/browser.h"

#include "core/debug/debug_log.h"

#include <cstring>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// Openers still running. Some wait for the browser to close, so the game never waits for
// them; finished ones are collected at the next launch.
std::vector<pid_t>& Running()
{
    static std::vector<pid_t> pids;
    return pids;
}

void CollectFinished()
{
    auto& pids = Running();
    for (size_t i = 0; i < pids.size();) {
        int status = 0;
        if (waitpid(pids[i], &status, WNOHANG) != 0) {
            pids[i] = pids.back();
            pids.pop_back();
        } else {
            ++i;
        }
    }
}

}  // namespace

bool IsBrowsableUrl(const char* url)
{
    if (!url)
        return false;
    const char* rest = nullptr;
    if (strncasecmp(url, "http://", 7) == 0)
        rest = url + 7;
    else if (strncasecmp(url, "https://", 8) == 0)
        rest = url + 8;
    if (!rest || !*rest)
        return false;
    // Control characters have no place in an address.
    for (const char* p = url; *p; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7f)
            return false;
    return true;
}

bool LaunchBrowser(const char* url)
{
    if (!IsBrowsableUrl(url)) {
        WriteDbg("OpenBrowser: refused address '%s'", url ? url : "(null)");
        return false;
    }
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(url), nullptr};
    pid_t pid = 0;
    int err = posix_spawnp(&pid, program, nullptr, nullptr, argv, environ);
    if (err != 0) {
        WriteDbg("OpenBrowser: cannot start xdg-open: %s", std::strerror(err));
        return false;
    }
    CollectFinished();
    Running().push_back(pid);
    return true;
}
