#pragma once
// JPEG decoding into the image block of image_block.h; the padding is zero bytes.

#include <cstdio>

#include <jpeglib.h>

class TFile;

// File name, pixels (out; null on failure), width, height, block side. Release the pixels with
// EzJpegFreeImage.
bool EzJpegLoadImage(const char* name, unsigned char** pixels, int* width, int* height, int* side);
void EzJpegFreeImage(unsigned char* pixels);

// The decoder proper over an open file, which it leaves open. `cutShort` (may be null) tells
// whether the file ended before the image did.
bool JpegLoadImage(TFile* file, unsigned char** pixels, int* width, int* height, int* side, bool* cutShort = nullptr);

// A source manager reading the decompressor's input through the file layer.
void jpeg_stdio_src_tfile(j_decompress_ptr cinfo, TFile* file);
