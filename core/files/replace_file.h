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
    // A spare copy (the contents before a save): when it cannot be written, the other files
    // are replaced all the same.
    bool spare = false;
};
// Several files that belong together: every new content is written and synced before the
// first rename, so a failure while writing leaves all the old files. True when every file that
// is not a spare was replaced; `replaced` (may be null) receives each file's outcome.
bool ReplaceDiskFiles(const std::vector<TReplacement>& files, std::vector<bool>* replaced = nullptr);

// Whether a replacement is between its first temporary file and its last rename: what ends the
// program early waits for it. Safe to ask from a signal handler.
bool SaveUnderWay();

// `name` is a logical file name ("user:prefs.dat"); missing folders are created.
bool ReplaceFileContents(const str& name, const void* data, size_t size);

// Why a file was not saved: each asks the player for something else.
enum class ESaveProblem
{
    kNone,
    kNoFolder,        // the user has no folder to save in (no home folder is known)
    kFolderInTheWay,  // a folder has the file's name
    kNotWritten,      // the disk, the rights on the folder or the file, or the system refused
};

struct TSaveOutcome
{
    str diskPath;  // the logical name when there is no folder for it
    bool saved = false;
    ESaveProblem problem = ESaveProblem::kNone;
    // A spare copy that was not saved while the files it goes with were.
    bool spare = false;
};

// Told of every file a replacement tried: a game that cannot save says so to its player. When a
// save fails as a whole, the file that failed it is told first. Empty: nobody is told.
using TSaveReport = std::function<void(const TSaveOutcome& outcome)>;
void SetSaveReport(TSaveReport report);

// For a save of the logical file `name` that has no folder to go to: logged (once per name)
// and told to the save report.
void ReportNoFolder(const str& name);

// Removes the temporary files that saves of `diskPath` left when the program died before
// renaming them, and logs each. For a program's start: another program saving the same file
// at that moment would lose its save (and report it).
void RemoveUnfinishedSaves(const str& diskPath);

// Copies a file beside itself under the first free name of "<name>.bad", "<name>.bad1",
// ... (the last one is reused when all are taken). What is not a regular file, or is too
// large to be read whole (kMaxDocumentFileSize), is renamed to that name instead. `copyName`
// (may be null) receives the logical name of the copy.
bool KeepDamagedCopy(const str& name, str* copyName);
