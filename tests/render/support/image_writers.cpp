#include "image_writers.h"

#include <jpeglib.h>
#include <openjpeg.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace {

uint8_t A(uint32_t p)
{
    return uint8_t(p >> 24);
}
uint8_t R(uint32_t p)
{
    return uint8_t(p >> 16);
}
uint8_t G(uint32_t p)
{
    return uint8_t(p >> 8);
}
uint8_t B(uint32_t p)
{
    return uint8_t(p);
}

}  // namespace

bool WritePng(const std::string& path, const TTestImage& image, int colorType, bool trns)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, image.width, image.height, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::map<uint32_t, int> index;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> palette;
        std::vector<png_byte> alphas;
        for (uint32_t p : image.pixels) {
            if (index.count(p))
                continue;
            index[p] = static_cast<int>(palette.size());
            palette.push_back(png_color{R(p), G(p), B(p)});
            alphas.push_back(A(p));
        }
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (trns)
            png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    } else if (trns && (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_GRAY)) {
        // The colour of the first fully transparent pixel becomes the transparent one.
        for (uint32_t p : image.pixels) {
            if (A(p) == 0) {
                png_color_16 c{};
                c.red = R(p);
                c.green = G(p);
                c.blue = B(p);
                c.gray = R(p);
                png_set_tRNS(png, info, nullptr, 0, &c);
                break;
            }
        }
    }
    png_write_info(png, info);
    const int channels = colorType == 0 ? 1 : colorType == 2 ? 3 : colorType == 3 ? 1 : colorType == 4 ? 2 : 4;
    std::vector<png_byte> row(size_t(image.width) * channels);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.pixels[size_t(y) * image.width + x];
            png_byte* o = &row[size_t(x) * channels];
            switch (colorType) {
            case 0: o[0] = R(p); break;
            case 2: o[0] = R(p), o[1] = G(p), o[2] = B(p); break;
            case 3: o[0] = static_cast<png_byte>(index[p]); break;
            case 4: o[0] = R(p), o[1] = A(p); break;
            default: o[0] = R(p), o[1] = G(p), o[2] = B(p), o[3] = A(p); break;
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}

bool WriteJpeg(const std::string& path, const TTestImage& image, int quality, bool grey)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.pixels[size_t(cinfo.next_scanline) * image.width + x];
            if (grey) {
                row[size_t(x)] = R(p);
            } else {
                row[size_t(x) * 3] = R(p);
                row[size_t(x) * 3 + 1] = G(p);
                row[size_t(x) * 3 + 2] = B(p);
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
    return true;
}

bool WriteJp2(const std::string& path, const TTestImage& image, int components, bool codestream, int firstStep)
{
    std::vector<opj_image_cmptparm_t> params(static_cast<size_t>(components));
    for (auto& p : params) {
        std::memset(&p, 0, sizeof p);
        p.dx = p.dy = 1;
        p.w = static_cast<OPJ_UINT32>(image.width);
        p.h = static_cast<OPJ_UINT32>(image.height);
        p.prec = 8;
        p.sgnd = 0;
    }
    params[0].dx = params[0].dy = static_cast<OPJ_UINT32>(firstStep);
    params[0].w = static_cast<OPJ_UINT32>((image.width + firstStep - 1) / firstStep);
    params[0].h = static_cast<OPJ_UINT32>((image.height + firstStep - 1) / firstStep);
    const OPJ_COLOR_SPACE space = components <= 2 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB;
    opj_image_t* img = opj_image_create(static_cast<OPJ_UINT32>(components), params.data(), space);
    if (!img)
        return false;
    img->x0 = img->y0 = 0;
    img->x1 = static_cast<OPJ_UINT32>(image.width);
    img->y1 = static_cast<OPJ_UINT32>(image.height);
    const bool alpha = components == 2 || components == 4;
    if (alpha)
        img->comps[components - 1].alpha = 1;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t p = image.pixels[i];
        const int x = static_cast<int>(i) % image.width, y = static_cast<int>(i) / image.width;
        if (x % firstStep == 0 && y % firstStep == 0)
            img->comps[0].data[size_t(y / firstStep) * params[0].w + size_t(x / firstStep)] = R(p);
        if (components > 2) {
            img->comps[1].data[i] = G(p);
            img->comps[2].data[i] = B(p);
        }
        if (alpha)
            img->comps[components - 1].data[i] = A(p);
    }
    opj_cparameters_t cp;
    opj_set_default_encoder_parameters(&cp);
    cp.tcp_numlayers = 1;
    cp.tcp_rates[0] = 0;  // lossless
    cp.cp_disto_alloc = 1;
    cp.numresolution = 1;
    opj_codec_t* codec = opj_create_compress(codestream ? OPJ_CODEC_J2K : OPJ_CODEC_JP2);
    bool ok = opj_setup_encoder(codec, &cp, img);
    opj_stream_t* stream = ok ? opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE) : nullptr;
    ok = stream && opj_start_compress(codec, img, stream) && opj_encode(codec, stream) &&
         opj_end_compress(codec, stream);
    if (stream)
        opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(img);
    return ok;
}

uint32_t BlockPixel(const unsigned char* block, int side, int x, int y)
{
    const unsigned char* p = block + (size_t(y) * side + x) * 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadPng(const std::string& path, TTestImage* image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    png.format = PNG_FORMAT_BGRA;  // little-endian words of 0xAARRGGBB
    *image = TTestImage(static_cast<int>(png.width), static_cast<int>(png.height));
    const bool ok = png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}
