#include "tools/imagegen/png_writer.h"

#include "core/files/replace_file.h"

#include "tools/description/description_reader.h"

#include <png.h>

#include <csetjmp>

namespace {

void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// The encoder writes into `bytes`, which the caller stores with the temporary-file rename.
void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void NoFlush(png_structp) {}

bool Encode(int width, int height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>* bytes)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, bytes, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (int y = 0; y < height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(rgba.data() + static_cast<size_t>(y) * width * 4);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool EncodePngRgba(int width, int height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>* bytes,
                   std::string* error)
{
    if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        *error = "pixels do not fit the picture size";
        return false;
    }
    if (!Encode(width, height, rgba, bytes)) {
        *error = "the PNG encoder failed";
        return false;
    }
    return true;
}

bool WritePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, std::string* error)
{
    std::vector<uint8_t> bytes;
    if (!EncodePngRgba(width, height, rgba, &bytes, error)) {
        *error += " for " + path;
        return false;
    }
    if (!ReplaceDiskFile(path.c_str(), bytes.data(), bytes.size())) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
