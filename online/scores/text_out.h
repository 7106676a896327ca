#pragma once
// Copying texts into callers' fixed buffers.

#include "core/text/str.h"

// Copies text into buffer, cut to len - 1 bytes and always zero-terminated; nothing happens
// for a null buffer or a length of 0.
void CopyText(char* buffer, unsigned len, const str& text);
