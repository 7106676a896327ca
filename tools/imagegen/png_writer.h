#pragma once
// Writes 8-bit RGBA pixels as a PNG file.

#include <cstdint>
#include <string>
#include <vector>

// The PNG file's bytes; false with a reason in *error when the pixels do not fit the size.
bool EncodePngRgba(int width, int height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>* bytes,
                   std::string* error);

// `rgba` holds width × height pixels, rows top first. Written through a temporary file; false
// with a reason in *error when the file cannot be written.
bool WritePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, std::string* error);
