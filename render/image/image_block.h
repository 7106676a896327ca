#pragma once
// The pixel block every image decoder yields: a square of side × side 32-bit pixels (bytes blue,
// green, red, alpha), rows top-down, the image in its top-left corner.

#include <cstdint>

// Largest block side a decoder accepts; larger images are refused before any allocation.
constexpr int kMaxImageSide = 8192;

// The smallest power of two not below the larger of width and height (1 for 0 or 1).
int ImageBlockSide(int width, int height);

// Repeats the last pixel of each image row to the right edge and the last row down to the
// bottom edge of the block.
void ExtendImageEdges(uint8_t* block, int width, int height, int side);
