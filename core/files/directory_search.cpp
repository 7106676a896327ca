#include "core/files/directory_search.h"

#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

struct TDirectorySearch::TListing
{
    DIR* dir = nullptr;
    std::string path;
};

TDirectorySearch::TDirectorySearch(const char* path) : mListing(std::make_unique<TListing>())
{
    if (path) {
        mListing->path = path;
        mListing->dir = opendir(path);
    }
}

TDirectorySearch::~TDirectorySearch()
{
    if (mListing->dir)
        closedir(mListing->dir);
}

bool TDirectorySearch::GetNextFile(str* name, bool* isFolder)
{
    if (!mListing->dir)
        return false;
    for (;;) {
        struct dirent* entry = readdir(mListing->dir);
        if (!entry) {
            closedir(mListing->dir);
            mListing->dir = nullptr;
            return false;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            // Some file systems do not fill in the type. lstat, so that a link to a folder
            // is never walked into (a link loop would never end).
            struct stat st;
            std::string full = mListing->path + "/" + entry->d_name;
            folder = lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (folder && !isFolder)
            continue;
        if (name)
            *name = entry->d_name;
        if (isFolder)
            *isFolder = folder;
        return true;
    }
}
