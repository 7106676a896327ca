#pragma once
// Lists the entries of one disk folder, in the folder's own order.

#include <memory>

#include "core/text/str.h"

class TDirectorySearch
{
public:
    // A folder that cannot be opened gives an empty listing.
    explicit TDirectorySearch(const char* path);
    ~TDirectorySearch();
    TDirectorySearch(const TDirectorySearch&) = delete;
    TDirectorySearch& operator=(const TDirectorySearch&) = delete;

    // The next entry ("." and ".." never). With a null `isFolder`, folders are skipped.
    bool GetNextFile(str* name, bool* isFolder);

private:
    struct TListing;
    std::unique_ptr<TListing> mListing;
};
