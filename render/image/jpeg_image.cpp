#include "render/image/jpeg_image.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "render/image/image_block.h"

#include <jerror.h>

#include <csetjmp>
#include <cstring>

namespace {

constexpr size_t kInputBufferSize = 4096;

struct TFileSourceMgr
{
    jpeg_source_mgr pub;
    TFile* file;
    JOCTET* buffer;
    boolean startOfFile;
    bool atEnd;  // the file is used up and a fake end marker was supplied
};

void init_source_tfile(j_decompress_ptr cinfo)
{
    reinterpret_cast<TFileSourceMgr*>(cinfo->src)->startOfFile = TRUE;
}

boolean fill_input_buffer_tfile(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<TFileSourceMgr*>(cinfo->src);
    size_t got = zv_read(src->file, src->buffer, kInputBufferSize);
    if (got == 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        // A supplied end-of-image marker lets a file cut short finish with what it has.
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
        src->atEnd = true;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    src->startOfFile = FALSE;
    return TRUE;
}

void skip_input_data_tfile(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    auto* src = reinterpret_cast<TFileSourceMgr*>(cinfo->src);
    while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        fill_input_buffer_tfile(cinfo);
        if (src->atEnd)
            return;  // nothing left to skip over: keep the end marker
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= count;
}

void term_source_tfile(j_decompress_ptr) {}

// The library's default error exit ends the process; this one jumps back and fails the load.
struct TJpegError
{
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void jpeg_error_exit(j_common_ptr cinfo)
{
    (*cinfo->err->output_message)(cinfo);
    longjmp(reinterpret_cast<TJpegError*>(cinfo->err)->jump, 1);
}

void jpeg_output_message(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    WriteDbg("JPEG decoder: %s", text);
}

// State touched across the jump lives here rather than in locals.
struct TJpegDecode
{
    jpeg_decompress_struct cinfo;
    TJpegError error;
    unsigned char* pixels;
};

}  // namespace

void jpeg_stdio_src_tfile(j_decompress_ptr cinfo, TFile* file)
{
    if (!cinfo->src) {
        auto* src = static_cast<TFileSourceMgr*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(TFileSourceMgr)));
        src->buffer = static_cast<JOCTET*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kInputBufferSize));
        cinfo->src = &src->pub;
    }
    auto* src = reinterpret_cast<TFileSourceMgr*>(cinfo->src);
    src->pub.init_source = init_source_tfile;
    src->pub.fill_input_buffer = fill_input_buffer_tfile;
    src->pub.skip_input_data = skip_input_data_tfile;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = term_source_tfile;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
    src->file = file;
    src->atEnd = false;
}

bool JpegLoadImage(TFile* file, unsigned char** pixels, int* width, int* height, int* side, bool* cutShort)
{
    *pixels = nullptr;
    if (!file)
        return false;

    static thread_local TJpegDecode d;
    std::memset(&d, 0, sizeof d);
    d.cinfo.err = jpeg_std_error(&d.error.pub);
    d.error.pub.error_exit = jpeg_error_exit;
    d.error.pub.output_message = jpeg_output_message;
    if (setjmp(d.error.jump)) {
        jpeg_destroy_decompress(&d.cinfo);
        delete[] d.pixels;
        d.pixels = nullptr;
        return false;
    }

    jpeg_create_decompress(&d.cinfo);
    d.cinfo.mem->max_memory_to_use = 16777216;
    jpeg_stdio_src_tfile(&d.cinfo, file);
    jpeg_read_header(&d.cinfo, TRUE);
    d.cinfo.out_color_space = JCS_EXT_BGRA;

    const int w = static_cast<int>(d.cinfo.image_width);
    const int h = static_cast<int>(d.cinfo.image_height);
    if (w > kMaxImageSide || h > kMaxImageSide) {
        WriteDbg("JPEG decoder: image of %dx%d is too large", w, h);
        jpeg_destroy_decompress(&d.cinfo);
        return false;
    }
    const int blockSide = ImageBlockSide(w, h);
    const size_t stride = static_cast<size_t>(blockSide) * 4;
    // Zeroed so that no undecoded byte (padding, or rows a damaged file never delivers) is
    // ever uploaded.
    d.pixels = new unsigned char[stride * blockSide]();

    jpeg_start_decompress(&d.cinfo);
    if (d.cinfo.output_components != 4 || static_cast<int>(d.cinfo.output_width) != w) {
        WriteDbg("JPEG decoder: unexpected output layout");
        jpeg_destroy_decompress(&d.cinfo);
        delete[] d.pixels;
        d.pixels = nullptr;
        return false;
    }
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = d.pixels + d.cinfo.output_scanline * stride;
        if (jpeg_read_scanlines(&d.cinfo, &row, 1) != 1)
            break;
    }
    // A file cut short ends on the supplied end marker: it loads with what it holds, the rest
    // filled by the library.
    jpeg_finish_decompress(&d.cinfo);
    if (cutShort)
        *cutShort = reinterpret_cast<TFileSourceMgr*>(d.cinfo.src)->atEnd;
    jpeg_destroy_decompress(&d.cinfo);

    *pixels = d.pixels;
    d.pixels = nullptr;
    *width = w;
    *height = h;
    *side = blockSide;
    return true;
}

bool EzJpegLoadImage(const char* name, unsigned char** pixels, int* width, int* height, int* side)
{
    *pixels = nullptr;
    if (!name)
        return false;
    TFile* file = zv_open(name, kFileRead);
    if (!file)
        return false;
    bool cutShort = false;
    bool ok = JpegLoadImage(file, pixels, width, height, side, &cutShort);
    zv_close(file);
    if (!ok)
        WriteDbg("JPEG decoder: cannot load %s", name);
    else if (cutShort)
        WriteDbg("JPEG decoder: %s is cut short; the rest of the picture is filled in", name);
    return ok;
}

void EzJpegFreeImage(unsigned char* pixels)
{
    delete[] pixels;
}
