#pragma once
// The one way a file is opened for reading from a disk path: the data folder's own files, and
// every file from outside it (the working folder, the player's folder, the system's). Only a
// regular file is opened: a pipe would hold the program until someone writes to it, a device may
// never end and a folder reads as a file of absurd size. Anything else is refused at once, with a
// log line naming the file and what it is.
//   if (FILE* f = OpenRegularFile("hiscoreserver.txt")) {
//       ...
//       std::fclose(f);
//   }

#include <cstdio>
#include <sys/stat.h>

#include "core/text/str.h"

// The file opened for reading (binary), or null: missing (not logged), not a regular file or not
// readable (logged). `info`, when given, is filled with what the file is when it was opened or
// refused as no regular file, and left as it was otherwise.
FILE* OpenRegularFile(const str& path, struct stat* info = nullptr);
