#pragma once
// Writers of small test images, through the same libraries the decoders use.

#include <cstdint>
#include <string>
#include <vector>

// Pixels as 0xAARRGGBB, rows top-down.
struct TTestImage
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    TTestImage(int w, int h, uint32_t fill = 0xFF000000u) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
};

// Colour types of libpng: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA. A palette image
// takes its palette from the pixels (at most 256 colours); `trns` adds a tRNS chunk from alpha.
bool WritePng(const std::string& path, const TTestImage& image, int colorType, bool trns = false);
bool WriteJpeg(const std::string& path, const TTestImage& image, int quality = 95, bool grey = false);
// Components: 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA; lossless. `codestream` writes a bare
// codestream instead of a .jp2 box file; `firstStep` subsamples the first component.
bool WriteJp2(const std::string& path, const TTestImage& image, int components, bool codestream = false,
              int firstStep = 1);

// Pixel (x, y) of a decoded block `side` pixels wide, as 0xAARRGGBB.
uint32_t BlockPixel(const unsigned char* block, int side, int x, int y);

// Any PNG as 0xAARRGGBB pixels; false when it does not read.
bool ReadPng(const std::string& path, TTestImage* image);

std::vector<unsigned char> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
