#pragma once
// The engine's built-in font ("__DEFAULT"), made from a TrueType font by the converter tool at
// build time and compiled into the program.

#include <cstddef>

extern const unsigned char kBuiltinFontData[];
extern const size_t kBuiltinFontSize;
