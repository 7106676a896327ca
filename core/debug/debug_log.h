#pragma once
// The engine's debug log: one line per call on standard error.

#include <cstdint>

// Formats with printf rules (any length) and writes the text and a line end in one write,
// so lines from the sound thread and the main thread never interleave.
void WriteDbg(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ResetDbg(const char* folder);
uint32_t zvGetTotalAllocated();
uint32_t zvGetMaxAllocated();
