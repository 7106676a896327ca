#pragma once
// Making the folders a disk file is to go in.

#include "core/text/str.h"

// Creates the folders above `diskPath` that are missing (mode 0755). False when one cannot be
// made: that folder is logged and errno tells why.
bool MakeFoldersFor(const str& diskPath);
