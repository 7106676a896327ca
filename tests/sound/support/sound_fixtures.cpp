#include "sound/support/sound_fixtures.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <stdexcept>

#include <unistd.h>

#include <ogg/ogg.h>
#include <speex/speex.h>
#include <speex/speex_header.h>
#include <speex/speex_stereo.h>
#include <vorbis/vorbisenc.h>

#include "core/files/file.h"
#include "sound/sources/sound_data_source.h"

namespace soundtest {

namespace {

void AppendPage(Bytes& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

Pcm MakeTone(double frequency, double seconds, int rate, int channels, double amplitude)
{
    const std::size_t frames = static_cast<std::size_t>(seconds * rate + 0.5);
    Pcm pcm(frames * channels);
    for (std::size_t i = 0; i < frames; ++i) {
        double v = std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / rate) * amplitude * 32767.0;
        for (int c = 0; c < channels; ++c)
            pcm[i * channels + c] = static_cast<int16_t>(std::lround(c == 0 ? v : v * 0.5));
    }
    return pcm;
}

Bytes EncodeVorbis(const Pcm& pcm, int rate, int channels, float quality)
{
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0)
        throw std::runtime_error("vorbis encoder refused the format");
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1234);

    Bytes out;
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page))
        AppendPage(out, page);

    const std::size_t frames = pcm.size() / channels;
    std::size_t done = 0;
    bool ended = false;
    while (!ended) {
        std::size_t n = std::min<std::size_t>(1024, frames - done);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = pcm[(done + i) * channels + c] / 32768.0f;
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            done += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet op;
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &page))
                    AppendPage(out, page);
                if (op.e_o_s)
                    ended = true;
            }
        }
    }
    while (ogg_stream_flush(&os, &page))
        AppendPage(out, page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

Bytes EncodeSpeex(const Pcm& pcm, const SpeexOptions& o)
{
    const SpeexMode* mode = o.rate > 8000 ? speex_lib_get_mode(SPEEX_MODEID_WB) : &speex_nb_mode;
    void* encoder = speex_encoder_init(mode);
    int quality = 8;
    speex_encoder_ctl(encoder, SPEEX_SET_QUALITY, &quality);
    int rate = o.rate;
    speex_encoder_ctl(encoder, SPEEX_SET_SAMPLING_RATE, &rate);
    int frameSize = 0;
    speex_encoder_ctl(encoder, SPEEX_GET_FRAME_SIZE, &frameSize);

    SpeexHeader header;
    speex_init_header(&header, o.rate, 1, mode);
    header.frames_per_packet = o.framesPerPacket;
    header.nb_channels = o.channels;
    header.extra_headers = o.waveSize ? 1 : 0;
    if (o.headerChannels != INT32_MIN)
        header.nb_channels = o.headerChannels;
    if (o.headerFrames != INT32_MIN)
        header.frames_per_packet = o.headerFrames;
    if (o.headerExtraHeaders != INT32_MIN)
        header.extra_headers = o.headerExtraHeaders;
    if (o.headerMode != INT32_MIN)
        header.mode = o.headerMode;
    if (o.headerRate != INT32_MIN)
        header.rate = o.headerRate;

    ogg_stream_state os;
    ogg_stream_init(&os, 4321);
    Bytes out;
    ogg_page page;
    int64_t packetNo = 0;
    auto put = [&](unsigned char* data, long bytes, int64_t granule, bool eos) {
        ogg_packet op;
        op.packet = data;
        op.bytes = bytes;
        op.b_o_s = packetNo == 0;
        op.e_o_s = eos;
        op.granulepos = granule;
        op.packetno = packetNo++;
        ogg_stream_packetin(&os, &op);
    };
    int headerBytes = 0;
    char* headerPacket = speex_header_to_packet(&header, &headerBytes);
    put(reinterpret_cast<unsigned char*>(headerPacket), headerBytes, 0, false);
    speex_header_free(headerPacket);
    while (ogg_stream_flush(&os, &page))
        AppendPage(out, page);
    const char vendor[] = "tessivander tests";
    unsigned char comment[8 + sizeof vendor] = {};
    uint32_t vendorLength = sizeof vendor - 1;
    std::memcpy(comment, &vendorLength, 4);
    std::memcpy(comment + 4, vendor, vendorLength);
    put(comment, 8 + vendorLength, 0, false);
    if (o.waveSize) {
        std::string text = "WAVESIZE:" + (o.waveSizeText.empty() ? std::to_string(pcm.size() * 2) : o.waveSizeText);
        put(reinterpret_cast<unsigned char*>(text.data()), static_cast<long>(text.size()), 0, false);
    }
    while (ogg_stream_flush(&os, &page))
        AppendPage(out, page);

    SpeexBits bits;
    speex_bits_init(&bits);
    const std::size_t frames = pcm.size() / o.channels;
    const std::size_t perPacket = static_cast<std::size_t>(frameSize) * o.framesPerPacket;
    std::vector<spx_int16_t> frame(static_cast<std::size_t>(frameSize) * o.channels);
    int64_t granule = 0;
    for (std::size_t start = 0; start < frames; start += perPacket) {
        speex_bits_reset(&bits);
        for (int f = 0; f < o.framesPerPacket; ++f) {
            std::fill(frame.begin(), frame.end(), 0);
            for (int i = 0; i < frameSize; ++i) {
                std::size_t at = start + static_cast<std::size_t>(f) * frameSize + i;
                if (at >= frames)
                    break;
                for (int c = 0; c < o.channels; ++c)
                    frame[static_cast<std::size_t>(i) * o.channels + c] = pcm[at * o.channels + c];
            }
            if (o.channels == 2)
                speex_encode_stereo_int(frame.data(), frameSize, &bits);
            speex_encode_int(encoder, frame.data(), &bits);
        }
        speex_bits_insert_terminator(&bits);
        char packet[4096];
        int bytes = speex_bits_write(&bits, packet, sizeof packet);
        granule += static_cast<int64_t>(perPacket);
        const bool last = start + perPacket >= frames;
        put(reinterpret_cast<unsigned char*>(packet), bytes, granule, last);
        // Short pages, so that even a short file spans several.
        if (packetNo % 10 == 0) {
            while (ogg_stream_flush(&os, &page))
                AppendPage(out, page);
        }
    }
    while (ogg_stream_flush(&os, &page))
        AppendPage(out, page);
    speex_bits_destroy(&bits);
    speex_encoder_destroy(encoder);
    ogg_stream_clear(&os);
    return out;
}

void AddMemoryFixture(const str& name, Bytes bytes)
{
    // Memory files point at the bytes: keep every fixture for the life of the process.
    static std::deque<Bytes> store;
    store.push_back(std::move(bytes));
    TFile::AddMemoryFile(name, store.back().data(), static_cast<unsigned int>(store.back().size()));
}

str AddDiskFixture(const std::string& fileName, const Bytes& bytes)
{
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/tv-sound-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("no temporary folder");
        folder = pattern;
    }
    std::string path = folder + "/" + fileName;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot write " + path);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return str(("::" + path).c_str());
}

Bytes ReadAll(TSoundDataSource& source, unsigned int chunk)
{
    Bytes out;
    unsigned int offset = 0;
    for (;;) {
        out.resize(offset + chunk);
        unsigned int got = source.Read(out.data() + offset, offset, chunk);
        offset += got;
        if (got < chunk)
            break;
    }
    out.resize(offset);
    return out;
}

const int16_t* Samples(const Bytes& bytes)
{
    return reinterpret_cast<const int16_t*>(bytes.data());
}

std::size_t SampleCount(const Bytes& bytes)
{
    return bytes.size() / 2;
}

double Rms(const int16_t* samples, std::size_t frames, int channels, int channel)
{
    if (frames == 0)
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        double v = samples[i * channels + channel];
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(frames));
}

double ToneFrequency(const int16_t* samples, std::size_t frames, int channels, int channel, int rate)
{
    std::size_t first = 0, last = 0, count = 0;
    for (std::size_t i = 1; i < frames; ++i) {
        if (samples[(i - 1) * channels + channel] < 0 && samples[i * channels + channel] >= 0) {
            if (count == 0)
                first = i;
            last = i;
            ++count;
        }
    }
    if (count < 2)
        return 0.0;
    return static_cast<double>(count - 1) * rate / static_cast<double>(last - first);
}

}  // namespace soundtest
