#include "tools/voxgen/speex_writer.h"

#include <ogg/ogg.h>
#include <speex/speex.h>
#include <speex/speex_header.h>

#include <algorithm>
#include <cstring>

namespace {

void AppendPage(std::vector<unsigned char>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

class OggOut
{
public:
    OggOut() { ogg_stream_init(&mStream, 0x766f78); }
    ~OggOut() { ogg_stream_clear(&mStream); }

    void Packet(const void* data, long bytes, int64_t granule, bool last)
    {
        ogg_packet op{};
        op.packet = static_cast<unsigned char*>(const_cast<void*>(data));
        op.bytes = bytes;
        op.b_o_s = mNumber == 0;
        op.e_o_s = last;
        op.granulepos = granule;
        op.packetno = mNumber++;
        ogg_stream_packetin(&mStream, &op);
    }
    // Header packets sit on pages of their own.
    void Flush()
    {
        ogg_page page;
        while (ogg_stream_flush(&mStream, &page))
            AppendPage(mBytes, page);
    }
    void Pages()
    {
        ogg_page page;
        while (ogg_stream_pageout(&mStream, &page))
            AppendPage(mBytes, page);
    }
    std::vector<unsigned char>& Bytes() { return mBytes; }

private:
    ogg_stream_state mStream;
    int64_t mNumber = 0;
    std::vector<unsigned char> mBytes;
};

}  // namespace

std::vector<int16_t> Resample(const std::vector<int16_t>& samples, int from, int to)
{
    if (from == to || samples.empty())
        return samples;
    const size_t n = size_t(double(samples.size()) * to / from);
    std::vector<int16_t> out(n);
    for (size_t i = 0; i < n; ++i) {
        const double at = double(i) * from / to;
        const size_t a = std::min(size_t(at), samples.size() - 1);
        const size_t b = std::min(a + 1, samples.size() - 1);
        const double t = at - double(a);
        out[i] = int16_t(double(samples[a]) * (1.0 - t) + double(samples[b]) * t);
    }
    return out;
}

std::vector<unsigned char> EncodeOggSpeex(const std::vector<int16_t>& mono, int rate)
{
    std::vector<int16_t> pcm = mono;
    if (rate != 8000 && rate != 16000) {
        pcm = Resample(mono, rate, 16000);
        rate = 16000;
    }
    const SpeexMode* mode = speex_lib_get_mode(rate == 8000 ? SPEEX_MODEID_NB : SPEEX_MODEID_WB);
    void* encoder = speex_encoder_init(mode);
    int quality = 8;
    speex_encoder_ctl(encoder, SPEEX_SET_QUALITY, &quality);
    int frameSize = 0;
    speex_encoder_ctl(encoder, SPEEX_GET_FRAME_SIZE, &frameSize);

    OggOut ogg;
    SpeexHeader header;
    speex_init_header(&header, rate, 1, mode);
    header.frames_per_packet = 1;
    header.extra_headers = 1;
    int headerBytes = 0;
    char* headerPacket = speex_header_to_packet(&header, &headerBytes);
    ogg.Packet(headerPacket, headerBytes, 0, false);
    speex_header_free(headerPacket);
    ogg.Flush();
    static const char kVendor[] = "tessivander voxgen";
    unsigned char comment[8 + sizeof kVendor] = {};
    const uint32_t vendorLength = sizeof kVendor - 1;
    std::memcpy(comment, &vendorLength, 4);
    std::memcpy(comment + 4, kVendor, vendorLength);
    ogg.Packet(comment, long(8 + vendorLength), 0, false);
    // Whole frames are decoded, so the sound is that long.
    const size_t frames = std::max<size_t>(1, (pcm.size() + size_t(frameSize) - 1) / size_t(frameSize));
    const std::string waveSize = "WAVESIZE:" + std::to_string(frames * size_t(frameSize) * 2);
    ogg.Packet(waveSize.data(), long(waveSize.size()), 0, false);
    ogg.Flush();

    SpeexBits bits;
    speex_bits_init(&bits);
    std::vector<spx_int16_t> frame(static_cast<size_t>(frameSize));
    for (size_t f = 0; f < frames; ++f) {
        std::fill(frame.begin(), frame.end(), 0);
        const size_t start = f * size_t(frameSize);
        const size_t n = start < pcm.size() ? std::min(size_t(frameSize), pcm.size() - start) : 0;
        std::copy_n(pcm.begin() + long(start), n, frame.begin());
        speex_bits_reset(&bits);
        speex_encode_int(encoder, frame.data(), &bits);
        speex_bits_insert_terminator(&bits);
        char packet[2048];
        const int bytes = speex_bits_write(&bits, packet, sizeof packet);
        ogg.Packet(packet, bytes, int64_t((f + 1) * size_t(frameSize)), f + 1 == frames);
        ogg.Pages();
    }
    ogg.Flush();
    speex_bits_destroy(&bits);
    speex_encoder_destroy(encoder);
    return std::move(ogg.Bytes());
}
