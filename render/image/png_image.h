#pragma once
// PNG decoding into the image block of image_block.h; the padding is zero bytes.

class TFile;

// File name, pixels (out; null on failure), width, height, block side, an unused word (0),
// has alpha (may be null). Release the pixels with EzPngFreeImage.
bool EzPngLoadImage(const char* name, unsigned char** pixels, int* width, int* height, int* side, unsigned long* unused,
                    int* hasAlpha);
void EzPngFreeImage(unsigned char* pixels);

// The decoder proper over an open file, which it leaves open.
bool PngLoadImage(TFile* file, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha);
