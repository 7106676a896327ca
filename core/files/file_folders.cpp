// Where the logical folders live on this system.

#include <cstdlib>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/file.h"

namespace {

// An environment value, ignored unless it is an absolute path (relative ones are invalid
// for the XDG variables).
str AbsoluteEnv(const char* name)
{
    const char* v = std::getenv(name);
    return (v && v[0] == '/') ? str(v) : str("");
}

bool IsFolder(const str& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

str ParentOf(const str& path)
{
    unsigned slash = path.find('/', str::kFromEnd);
    if (slash == str::npos)
        return str("");
    return slash == 0 ? str("/") : path.substr(0, static_cast<int>(slash));
}

}  // namespace

TFile::TFolders TFile::DefaultFolders(const str& gameName, const std::function<str()>& accountHome)
{
    const str game = gameName.empty() ? str("tessivander") : gameName;
    str home = AbsoluteEnv("HOME");
    if (home.empty() && accountHome) {
        const str account = accountHome();
        if (!account.empty() && account[0] == '/')
            home = account;
    }
    str dataHome = AbsoluteEnv("XDG_DATA_HOME");
    if (dataHome.empty() && !home.empty())
        dataHome = home + "/.local/share";

    TFolders folders;
    if (!dataHome.empty()) {
        folders.user = dataHome + "/" + game;
        folders.common = dataHome + "/vantorell/" + game;
    }
    folders.desktop = AbsoluteEnv("XDG_DESKTOP_DIR");
    if (folders.desktop.empty() && !home.empty())
        folders.desktop = home + "/Desktop";
    return folders;
}

void TFile::SetFolders(const TFolders& folders)
{
    mUserDir = folders.user;
    mCommonDir = folders.common;
    mDesktopDir = folders.desktop;
}

str TFile::LocateResourceDir()
{
    const char* env = std::getenv("TESSIVANDER_RESOURCES");
    if (env && *env)
        return str(env);

    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return str("");
    exe[n] = 0;
    const str programDir = ParentOf(str(exe));

    // The build tree puts the program a few levels below the folder that holds assets/.
    str dir = programDir;
    for (int level = 0; level < 4 && !dir.empty(); ++level) {
        if (IsFolder(dir + "/assets"))
            return dir;
        if (dir == str("/"))
            break;
        dir = ParentOf(dir);
    }
    const str installed = ParentOf(programDir) + "/share/tessivander";
    if (IsFolder(installed + "/assets"))
        return installed;
    // A game started from its data folder by hand, with the program kept elsewhere.
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) && IsFolder(str(cwd) + "/assets"))
        return str(cwd);
    return str("");
}

str TFile::ToDiskPath(const str& path)
{
    if (path.empty() || path[0] == '/' || mResourceDir.empty())
        return path;
    return mResourceDir + "/" + path;
}
