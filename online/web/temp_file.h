#pragma once
// Temporary files with names no other process can claim first.

#include "core/text/str.h"

#include <cstdio>

// The folder for temporary files: $TMPDIR, else "/tmp".
str TempFolder();
// Creates a new file "<folder>/tvmovie<unique><suffix>" and opens it for writing ("wb").
// On success *path holds its name; on failure (logged "unable to open tmp file <name>") null.
FILE* OpenTempFile(const str& folder, const char* suffix, str* path);
