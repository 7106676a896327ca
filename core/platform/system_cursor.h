#pragma once
// The built-in cursor picture: a small PNG arrow, registered as "__systemcursor__.png".

#include <cstddef>
#include <cstdint>

extern const uint8_t gCursor[];
extern const size_t gCursorSize;
