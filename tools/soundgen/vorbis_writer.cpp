#include "tools/soundgen/vorbis_writer.h"

#include "core/files/replace_file.h"

#include "tools/description/description_reader.h"

#include <vorbis/vorbisenc.h>

namespace {

// The encoder's state, cleared in the right order however the encoding ends.
struct TVorbisEncoder
{
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool analysing = false;

    TVorbisEncoder()
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~TVorbisEncoder()
    {
        if (analysing) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    TVorbisEncoder(const TVorbisEncoder&) = delete;
    TVorbisEncoder& operator=(const TVorbisEncoder&) = delete;
};

void AppendPage(const ogg_page& page, std::vector<unsigned char>* out)
{
    out->insert(out->end(), page.header, page.header + page.header_len);
    out->insert(out->end(), page.body, page.body + page.body_len);
}

// Moves every finished block of the analyser into the stream, and full pages into `out`.
void Drain(TVorbisEncoder& e, std::vector<unsigned char>* out)
{
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
        vorbis_analysis(&e.block, nullptr);
        vorbis_bitrate_addblock(&e.block);
        while (vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
            ogg_stream_packetin(&e.stream, &packet);
            while (ogg_stream_pageout(&e.stream, &page))
                AppendPage(page, out);
        }
    }
}

}  // namespace

bool WriteOggVorbis(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate, float quality,
                    std::string* error)
{
    if (channels < 1 || channels > 2 || samples.size() % static_cast<size_t>(channels) != 0) {
        *error = "samples do not fit the channel count";
        return false;
    }
    TVorbisEncoder e;
    if (vorbis_encode_init_vbr(&e.info, channels, rate, quality) != 0) {
        *error = "the encoder refuses " + std::to_string(channels) + " channel(s) at " + std::to_string(rate) +
                 " Hz, quality " + std::to_string(quality);
        return false;
    }
    vorbis_comment_add_tag(&e.comment, "ENCODER", "soundgen");
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    // A fixed serial number keeps the output the same from one build to the next.
    ogg_stream_init(&e.stream, 0x54560001);
    e.analysing = true;

    std::vector<unsigned char> bytes;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&e.stream, &header);
    ogg_stream_packetin(&e.stream, &commentHeader);
    ogg_stream_packetin(&e.stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&e.stream, &page))
        AppendPage(page, &bytes);

    const size_t frames = samples.size() / static_cast<size_t>(channels);
    constexpr size_t kChunk = 4096;
    for (size_t done = 0; done < frames; done += kChunk) {
        const size_t n = std::min(kChunk, frames - done);
        float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = samples[(done + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] / 32768.0f;
        vorbis_analysis_wrote(&e.dsp, static_cast<int>(n));
        Drain(e, &bytes);
    }
    vorbis_analysis_wrote(&e.dsp, 0);
    Drain(e, &bytes);
    while (ogg_stream_flush(&e.stream, &page))
        AppendPage(page, &bytes);

    if (!ReplaceDiskFile(path.c_str(), bytes.data(), bytes.size())) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
