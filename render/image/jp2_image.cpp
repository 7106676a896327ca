#include "render/image/jp2_image.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "render/image/image_block.h"

#include <openjpeg.h>

#include <cstring>

namespace {

OPJ_SIZE_T jp2_read(void* buffer, OPJ_SIZE_T count, void* data)
{
    unsigned long got = static_cast<TFile*>(data)->Read(buffer, count);
    return got ? got : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_OFF_T jp2_skip(OPJ_OFF_T count, void* data)
{
    TFile* file = static_cast<TFile*>(data);
    long size = file->Size();
    long from = file->Tell();
    long to = from + static_cast<long>(count);
    if (to < 0 || to > size)
        return -1;
    file->Seek(to, kSeekStart);
    return count;
}

OPJ_BOOL jp2_seek(OPJ_OFF_T offset, void* data)
{
    TFile* file = static_cast<TFile*>(data);
    if (offset < 0 || offset > file->Size())
        return OPJ_FALSE;
    file->Seek(static_cast<long>(offset), kSeekStart);
    return OPJ_TRUE;
}

void jp2_error(const char* message, void*)
{
    WriteDbg("JPEG-2000 decoder: %s", message ? message : "error");
}

void jp2_quiet(const char*, void*) {}

// The codec from the file's first bytes: a .jp2 box structure or a bare codestream.
bool PickCodec(TFile* file, OPJ_CODEC_FORMAT* codec)
{
    static const unsigned char kJp2Box[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const unsigned char kCodestream[4] = {0xFF, 0x4F, 0xFF, 0x51};
    unsigned char head[12] = {};
    unsigned long got = file->Read(head, sizeof head);
    file->Seek(0, kSeekStart);
    if (got == sizeof head && std::memcmp(head, kJp2Box, sizeof kJp2Box) == 0)
        *codec = OPJ_CODEC_JP2;
    else if (got >= 4 && std::memcmp(head, kCodestream, sizeof kCodestream) == 0)
        *codec = OPJ_CODEC_J2K;
    else
        return false;
    return true;
}

// A component that covers the image with samples we can bring to 8 bits; null otherwise.
const opj_image_comp_t* Readable(const opj_image_t* image, int index, int width, int height)
{
    if (index < 0 || index >= static_cast<int>(image->numcomps))
        return nullptr;
    const opj_image_comp_t* c = &image->comps[index];
    if (!c->data || c->prec == 0 || c->prec > 31 || c->dx != 1 || c->dy != 1 || static_cast<int>(c->w) < width ||
        static_cast<int>(c->h) < height)
        return nullptr;
    return c;
}

// Writes one byte of every image pixel from a component: samples brought to 8 bits.
void FillChannel(unsigned char* block, int side, int width, int height, const opj_image_comp_t* c, int byte)
{
    const int prec = static_cast<int>(c->prec);
    const int64_t offset = c->sgnd ? (int64_t(1) << (prec - 1)) : 0;
    for (int y = 0; y < height; ++y) {
        const OPJ_INT32* src = c->data + static_cast<size_t>(y) * c->w;
        unsigned char* dst = block + (static_cast<size_t>(y) * side) * 4 + byte;
        for (int x = 0; x < width; ++x) {
            int64_t v = int64_t(src[x]) + offset;
            v = prec <= 8 ? (v << (8 - prec)) : (v >> (prec - 8));
            dst[x * 4] = static_cast<unsigned char>(v & 0xFF);
        }
    }
}

void FillConstant(unsigned char* block, int side, int width, int height, int byte, unsigned char value)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            block[(static_cast<size_t>(y) * side + x) * 4 + byte] = value;
}

bool Decode(TFile* file, opj_codec_t* codec, opj_stream_t* stream, opj_image_t** image)
{
    opj_dparameters_t params;
    opj_set_default_decoder_parameters(&params);
    opj_set_error_handler(codec, jp2_error, nullptr);
    opj_set_warning_handler(codec, jp2_quiet, nullptr);
    opj_set_info_handler(codec, jp2_quiet, nullptr);
    if (!opj_setup_decoder(codec, &params) || !opj_read_header(stream, codec, image) || !*image)
        return false;
    const opj_image_t* img = *image;
    if (img->x1 <= img->x0 || img->y1 <= img->y0 || img->x1 - img->x0 > static_cast<OPJ_UINT32>(kMaxImageSide) ||
        img->y1 - img->y0 > static_cast<OPJ_UINT32>(kMaxImageSide)) {
        WriteDbg("JPEG-2000 decoder: bad image size");
        return false;
    }
    (void)file;
    return opj_decode(codec, stream, *image) && opj_end_decompress(codec, stream);
}

}  // namespace

bool Jp2LoadImage(TFile* file, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha)
{
    *pixels = nullptr;
    if (!file)
        return false;
    OPJ_CODEC_FORMAT format;
    if (!PickCodec(file, &format)) {
        WriteDbg("JPEG-2000 decoder: not a JPEG-2000 file");
        return false;
    }

    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    opj_codec_t* codec = opj_create_decompress(format);
    opj_image_t* image = nullptr;
    bool ok = false;
    if (stream && codec) {
        opj_stream_set_user_data(stream, file, nullptr);
        opj_stream_set_user_data_length(stream, static_cast<OPJ_UINT64>(file->Size()));
        opj_stream_set_read_function(stream, jp2_read);
        opj_stream_set_skip_function(stream, jp2_skip);
        opj_stream_set_seek_function(stream, jp2_seek);
        ok = Decode(file, codec, stream, &image);
    }

    if (ok) {
        const int w = static_cast<int>(image->x1 - image->x0);
        const int h = static_cast<int>(image->y1 - image->y0);
        const int blockSide = ImageBlockSide(w, h);
        unsigned char* block = new unsigned char[static_cast<size_t>(blockSide) * blockSide * 4]();

        // Which components carry colour and which alpha: the file's channel definitions, or
        // for a bare codestream a trailing extra component.
        int alphaIndex = -1;
        int colourCount = 0;
        for (OPJ_UINT32 i = 0; i < image->numcomps; ++i) {
            if (image->comps[i].alpha && alphaIndex < 0)
                alphaIndex = static_cast<int>(i);
            else if (!image->comps[i].alpha)
                ++colourCount;
        }
        bool grey = image->color_space == OPJ_CLRSPC_GRAY ||
                    (image->color_space != OPJ_CLRSPC_SRGB && image->color_space != OPJ_CLRSPC_SYCC && colourCount < 3);
        if (alphaIndex < 0 && format == OPJ_CODEC_J2K) {
            if (grey && image->numcomps == 2)
                alphaIndex = 1;
            else if (!grey && image->numcomps == 4)
                alphaIndex = 3;
        }
        int alpha = 0;
        if (grey) {
            // Without its grey samples the block stays zero, alpha too.
            if (const opj_image_comp_t* c = Readable(image, alphaIndex == 0 ? 1 : 0, w, h)) {
                for (int byte = 0; byte < 3; ++byte)
                    FillChannel(block, blockSide, w, h, c, byte);
                FillConstant(block, blockSide, w, h, 3, 255);
            }
        } else {
            // Colour components in file order are red, green, blue; skip the alpha one.
            int byte = 2;
            for (OPJ_UINT32 i = 0; i < image->numcomps && byte >= 0; ++i) {
                if (static_cast<int>(i) == alphaIndex)
                    continue;
                if (const opj_image_comp_t* c = Readable(image, static_cast<int>(i), w, h))
                    FillChannel(block, blockSide, w, h, c, byte);
                --byte;
            }
            FillConstant(block, blockSide, w, h, 3, 255);
        }
        if (const opj_image_comp_t* c = Readable(image, alphaIndex, w, h)) {
            FillChannel(block, blockSide, w, h, c, 3);
            alpha = 1;
        }
        ExtendImageEdges(block, w, h, blockSide);
        *pixels = block;
        *width = w;
        *height = h;
        *side = blockSide;
        if (hasAlpha)
            *hasAlpha = alpha;
    }

    if (image)
        opj_image_destroy(image);
    if (codec)
        opj_destroy_codec(codec);
    if (stream)
        opj_stream_destroy(stream);
    return ok;
}

bool EzJp2LoadImage(const char* name, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha)
{
    *pixels = nullptr;
    if (!name)
        return false;
    TFile* file = zv_open(name, kFileRead);
    if (!file)
        return false;
    bool ok = Jp2LoadImage(file, pixels, width, height, side, hasAlpha);
    zv_close(file);
    if (!ok)
        WriteDbg("JPEG-2000 decoder: cannot load %s", name);
    return ok;
}

void EzJp2FreeImage(unsigned char* pixels)
{
    delete[] pixels;
}
