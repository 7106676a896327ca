#pragma once
// The picture being drawn: straight-alpha colour per pixel, rows top first.

#include "tools/imagegen/image_description.h"

#include <cstdint>
#include <vector>

class TCanvas
{
public:
    TCanvas(int width, int height);

    void Draw(const TShape& shape);
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    const TRgba& At(int x, int y) const { return mPixels[static_cast<size_t>(y) * mWidth + x]; }
    // 8-bit R, G, B, A per pixel, rows top first.
    std::vector<uint8_t> ToRgba8() const;

private:
    void Blend(int x, int y, const TRgba& colour, double coverage);

    int mWidth;
    int mHeight;
    std::vector<TRgba> mPixels;
};

// Draws every shape of `description` on a new canvas.
TCanvas RenderImage(const TImageDescription& description);
