#include "render/image/png_image.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "render/image/image_block.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace {

void png_cexcept_error(png_structp png, png_const_charp message)
{
    WriteDbg("PNG decoder: %s", message ? message : "error");
    png_longjmp(png, 1);
}

void png_read_data(png_structp png, png_bytep data, png_size_t length)
{
    TFile* file = static_cast<TFile*>(png_get_io_ptr(png));
    if (zv_read(file, data, length) != length)
        png_error(png, "Read Error");
}

// Everything a decode allocates, released in one place whichever way it ends.
struct TPngDecode
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    unsigned char* pixels = nullptr;
    png_bytep* rows = nullptr;

    void Release()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        png = nullptr;
        info = nullptr;
        std::free(rows);
        rows = nullptr;
        std::free(pixels);
        pixels = nullptr;
    }
};

}  // namespace

bool PngLoadImage(TFile* file, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha)
{
    *pixels = nullptr;
    if (!file)
        return false;

    unsigned char signature[8];
    if (zv_read(file, signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        WriteDbg("PNG decoder: not a PNG file");
        return false;
    }

    // Lives outside the jump so that the clean-up sees what was allocated before an error.
    static thread_local TPngDecode d;
    d = TPngDecode{};
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_cexcept_error, nullptr);
    if (!d.png)
        return false;
    d.info = png_create_info_struct(d.png);
    if (!d.info) {
        d.Release();
        return false;
    }
    if (setjmp(png_jmpbuf(d.png))) {
        d.Release();
        return false;
    }

    png_set_user_limits(d.png, kMaxImageSide, kMaxImageSide);
    png_set_read_fn(d.png, file, png_read_data);
    png_set_sig_bytes(d.png, 8);
    png_read_info(d.png, d.info);

    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(d.png, d.info, &w, &h, &depth, &colorType, nullptr, nullptr, nullptr);
    const int fileColorType = colorType;

    if (depth == 16)
        png_set_strip_16(d.png);
    if (colorType == PNG_COLOR_TYPE_PALETTE || depth < 8 || png_get_valid(d.png, d.info, PNG_INFO_tRNS))
        png_set_expand(d.png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(d.png);
    png_set_filler(d.png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(d.png);
    double fileGamma = 0;
    if (png_get_gAMA(d.png, d.info, &fileGamma))
        png_set_gamma(d.png, 2.2, fileGamma);

    png_read_update_info(d.png, d.info);
    png_get_IHDR(d.png, d.info, &w, &h, &depth, &colorType, nullptr, nullptr, nullptr);
    // Only a palette is judged after expansion, so that its tRNS chunk counts as alpha; a grey or
    // RGB image's colour key does not.
    if (hasAlpha) {
        const int judged = fileColorType == PNG_COLOR_TYPE_PALETTE ? colorType : fileColorType;
        *hasAlpha = (judged & PNG_COLOR_MASK_ALPHA) ? 1 : 0;
    }

    const int blockSide = ImageBlockSide(static_cast<int>(w), static_cast<int>(h));
    const size_t stride = static_cast<size_t>(blockSide) * 4;
    d.pixels = static_cast<unsigned char*>(std::calloc(stride, blockSide));
    if (!d.pixels)
        png_error(d.png, "Visual PNG: out of memory");
    d.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * (h ? h : 1)));
    if (!d.rows)
        png_error(d.png, "Visual PNG: out of memory");
    for (png_uint_32 y = 0; y < h; ++y)
        d.rows[y] = d.pixels + y * stride;

    png_read_image(d.png, d.rows);
    png_read_end(d.png, nullptr);

    *pixels = d.pixels;
    d.pixels = nullptr;
    d.Release();
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    *side = blockSide;
    return true;
}

bool EzPngLoadImage(const char* name, unsigned char** pixels, int* width, int* height, int* side, unsigned long* unused,
                    int* hasAlpha)
{
    *pixels = nullptr;
    if (unused)
        *unused = 0;
    if (!name)
        return false;
    TFile* file = zv_open(name, kFileRead);
    if (!file)
        return false;
    bool ok = PngLoadImage(file, pixels, width, height, side, hasAlpha);
    zv_close(file);
    if (!ok)
        WriteDbg("PNG decoder: cannot load %s", name);
    return ok;
}

void EzPngFreeImage(unsigned char* pixels)
{
    std::free(pixels);
}
