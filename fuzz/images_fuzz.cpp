// Feeds one input to each image decoder (PNG, JPEG, JPEG-2000) through the file layer.

#include "core/files/file.h"
#include "render/image/jp2_image.h"
#include "render/image/jpeg_image.h"
#include "render/image/png_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool ok, const unsigned char* pixels, int width, int height, int side)
{
    // A successful decode hands over a block that covers the image.
    if (ok && (!pixels || side < width || side < height || width < 0 || height < 0))
        std::abort();
    if (!ok && pixels)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFile::AddMemoryFile("fuzz.img", data, static_cast<unsigned>(size));
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0, alpha = 0;

    if (TFile* file = zv_open("fuzz.img", kFileRead)) {
        const bool ok = PngLoadImage(file, &pixels, &width, &height, &side, &alpha);
        Check(ok, pixels, width, height, side);
        EzPngFreeImage(pixels);
        zv_close(file);
    }
    if (TFile* file = zv_open("fuzz.img", kFileRead)) {
        pixels = nullptr;
        const bool ok = JpegLoadImage(file, &pixels, &width, &height, &side);
        Check(ok, pixels, width, height, side);
        EzJpegFreeImage(pixels);
        zv_close(file);
    }
    if (TFile* file = zv_open("fuzz.img", kFileRead)) {
        pixels = nullptr;
        const bool ok = Jp2LoadImage(file, &pixels, &width, &height, &side, &alpha);
        Check(ok, pixels, width, height, side);
        EzJp2FreeImage(pixels);
        zv_close(file);
    }
    TFile::AddMemoryFile("fuzz.img", nullptr, 0);
    return 0;
}
