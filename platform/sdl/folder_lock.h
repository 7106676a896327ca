#pragma once
// One copy of the game per user folder: a lock on a file in the folder, held while the
// program runs. The system lets it go when the program ends, however it ends, so a copy that
// was killed never blocks the next start; programs the game starts do not inherit it.

#include "core/text/str.h"

enum class EFolderLock
{
    kHeld,        // this program holds it
    kTaken,       // another program holds it
    kUnavailable  // the file cannot be made or locked (logged; errno tells why)
};

// `lockPath` is a disk path; its missing folders are made. Asking again for the path this
// program holds answers kHeld.
EFolderLock LockFolder(const str& lockPath);
