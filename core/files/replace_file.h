#pragma once
// Safe replacement of a file: the new contents go to a temporary file in the same folder,
// which is synced and renamed over the old one only when every byte was written. A failure
// at any point leaves the old file exactly as it was.

#include "core/text/str.h"

#include <cstddef>
#include <functional>
#include <vector>

// A file left as it is when it exists and cannot be written; a new file gets mode 0644, a
// replaced one keeps its mode. The folder is synced after the rename.

// `diskPath` is a real path; missing folders are created.
bool ReplaceDiskFile(const str& diskPath, const void* data, size_t size);

struct TReplacement
{
    str diskPath;
    const void* data;
    size_t size;
};
// Several files that belong together: every new content is written and synced before the
// first rename, so a failure while writing leaves all the old files.
bool ReplaceDiskFiles(const std::vector<TReplacement>& files);

// `name` is a logical file name ("user:prefs.dat"); missing folders are created.
bool ReplaceFileContents(const str& name, const void* data, size_t size);

// Told of every file a replacement tried, with whether it now holds the new contents: a
// game that cannot save says so to its player. Empty: nobody is told.
using TSaveReport = std::function<void(const str& diskPath, bool saved)>;
void SetSaveReport(TSaveReport report);

// Removes the temporary files that saves of `diskPath` left when the program died before
// renaming them, and logs each. For a program's start: another program saving the same file
// at that moment would lose its save (and report it).
void RemoveUnfinishedSaves(const str& diskPath);

// Copies a file beside itself under the first free name of "<name>.bad", "<name>.bad1",
// ... (the last one is reused when all are taken). What is not a regular file, or is too
// large to be read whole (kMaxDocumentFileSize), is renamed to that name instead. `copyName`
// (may be null) receives the logical name of the copy.
bool KeepDamagedCopy(const str& name, str* copyName);
