#pragma once
// JPEG-2000 decoding (a .jp2 file or a bare codestream) into the image block of image_block.h;
// the padding repeats the image's last column and row.

class TFile;

// File name, pixels (out; null on failure), width, height, block side, has alpha (may be
// null). Release the pixels with EzJp2FreeImage.
bool EzJp2LoadImage(const char* name, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha);
void EzJp2FreeImage(unsigned char* pixels);

// The decoder proper over an open file, which it leaves open.
bool Jp2LoadImage(TFile* file, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha);
