#include "render/image/image_block.h"

#include <algorithm>
#include <cstring>

int ImageBlockSide(int width, int height)
{
    int larger = std::max(width, height);
    int side = 1;
    while (side < larger)
        side <<= 1;
    return side;
}

void ExtendImageEdges(uint8_t* block, int width, int height, int side)
{
    if (width <= 0 || height <= 0)
        return;
    const size_t stride = static_cast<size_t>(side) * 4;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = block + y * stride;
        const uint8_t* last = row + (width - 1) * 4;
        for (int x = width; x < side; ++x)
            std::memcpy(row + x * 4, last, 4);
    }
    const uint8_t* lastRow = block + (height - 1) * stride;
    for (int y = height; y < side; ++y)
        std::memcpy(block + y * stride, lastRow, stride);
}
