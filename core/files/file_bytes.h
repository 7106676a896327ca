#pragma once
// Reads a whole file, by logical name, into memory.

#include "core/files/file.h"
#include "core/text/str.h"

#include <vector>

// Larger files are refused with a log line: no document or table comes near this.
constexpr long kMaxDocumentFileSize = 64l << 20;

// False when the file does not open, is too large or reads short (each with a log line,
// except a file that does not open).
bool ReadFileBytes(const str& name, eFileMode mode, std::vector<char>& bytes);
