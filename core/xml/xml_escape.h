#pragma once
// Reading and writing of the five predefined entities and of numeric character references.

#include "core/text/str.h"

// Replaces entities and references within the first `length` bytes of `text`, in place;
// `length` becomes the new length. `escapedFirst` (may be null) is set when the replaced
// text began at position 0. "&#65;" and "&#x41;" give one byte (a reference to 0 is dropped,
// since text ends at a zero byte); a reference above 255 becomes the character in UTF-8 in
// UTF-8 mode, else the value's low byte; an "&" that matches nothing stays as it is.
void removeXMLEscapeChars(str& text, int& length, bool* escapedFirst);

// For the writer: bytes below 32 and above 127 become "&#<byte>;", the five entity
// characters their entities; UTF-8 thus travels as one reference per byte.
str xmlSafeString(const char* text);
