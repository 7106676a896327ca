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

#include "core/text/str.h"

// The file opened for reading (binary), or null: missing (not logged), not a regular file or not
// readable (logged).
FILE* OpenRegularFile(const str& path);
