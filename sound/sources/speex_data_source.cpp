#include "sound/sources/speex_data_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <speex/speex.h>
#include <speex/speex_callbacks.h>
#include <speex/speex_header.h>
#include <speex/speex_stereo.h>

#include "core/debug/debug_log.h"
#include "sound/sources/mem_data_source.h"
#include "sound/sources/sound_data_source_factory.h"
#include "sound/sources/sound_lock_mutex.h"

namespace {

TSpeexDataSourceBuilder sSpeexBuilder;

constexpr unsigned kReadChunk = 200;
// Limits far above what an encoder writes (10 frames per packet, one or two extra headers,
// packets of a few hundred bytes); anything beyond them is a damaged file.
constexpr int kMaxFramesPerPacket = 64;
constexpr int kMaxExtraHeaders = 100;
constexpr long kMaxPacketBytes = 65536;
constexpr int kMaxRate = 192000;

}  // namespace

TSpeexDataSource::TSpeexDataSource()
{
    ogg_sync_init(&mSync);
    std::memset(&mStream, 0, sizeof mStream);
    speex_bits_init(&mBits);
    mStereo = speex_stereo_state_init();
}

TSpeexDataSource::~TSpeexDataSource()
{
    Reset();
    speex_stereo_state_destroy(mStereo);
    speex_bits_destroy(&mBits);
    ogg_sync_clear(&mSync);
    mFile.Close();
}

void TSpeexDataSource::Register()
{
    TSoundDataSourceFactory::Register("spx", &sSpeexBuilder);
}

uint64_t TSpeexDataSource::GetRawLength()
{
    TMutexLock hold(TLockSoundMutex::mMutex);
    return static_cast<uint64_t>(mRawLength);
}

double TSpeexDataSource::GetSeconds()
{
    TMutexLock hold(TLockSoundMutex::mMutex);
    if (mRate <= 0 || mChannels <= 0)
        return 0.0;
    // Bytes of 16-bit samples over every channel.
    return static_cast<double>(mRawLength) / (2.0 * mChannels * mRate);
}

bool TSpeexDataSource::InitFromFile(const str& name, bool)
{
    mName = name;
    if (!mFile.Open(name, kFileRead))
        return false;
    for (;;) {
        if (!FillBuffer()) {
            WriteDbg("Speex file %s could not be read", name.c_str());
            return false;
        }
        if (mDecoder && (mExtraHeaders == 0 || mRawLength != kUnknownLength || mPacketCount > mExtraHeaders + 1))
            return true;
    }
}

void TSpeexDataSource::Reset()
{
    mPageHeld = false;
    if (mDecoder) {
        speex_decoder_destroy(mDecoder);
        mDecoder = nullptr;
    }
    ogg_sync_reset(&mSync);
    if (mStreamStarted) {
        ogg_stream_clear(&mStream);
        mStreamStarted = false;
    }
    mOutput.clear();
    mOutputBytes = 0;
    mOutputOffset = 0;
    mOutputReady = false;
    mEndOfStream = false;
    if (mFile.IsValid())
        mFile.Seek(0, kSeekStart);
    mPacketCount = 0;
    mPosition = 0;
    mSerial = -1;
    if (mStereo)
        speex_stereo_state_reset(mStereo);
}

bool TSpeexDataSource::ReadPage()
{
    ogg_page page;
    for (;;) {
        int r = ogg_sync_pageout(&mSync, &page);
        if (r == 1)
            break;
        if (r < 0)
            continue;  // bytes skipped to the next page boundary
        char* buffer = ogg_sync_buffer(&mSync, kReadChunk);
        if (!buffer)
            return false;
        unsigned long n = mFile.Read(buffer, kReadChunk);
        if (n == 0)
            return false;
        ogg_sync_wrote(&mSync, static_cast<long>(n));
    }
    int serial = ogg_page_serialno(&page);
    if (!mStreamStarted) {
        ogg_stream_init(&mStream, serial);
        mStreamStarted = true;
    } else if (serial != mStream.serialno) {
        ogg_stream_reset_serialno(&mStream, serial);
    }
    ogg_stream_pagein(&mStream, &page);
    mPageHeld = true;
    return true;
}

bool TSpeexDataSource::NextPacket(ogg_packet& packet)
{
    for (;;) {
        if (mPageHeld) {
            int r = ogg_stream_packetout(&mStream, &packet);
            if (r == 1)
                return true;
            if (r == 0)
                mPageHeld = false;
            continue;  // -1: a gap in the data; the next call gives what follows it
        }
        if (!ReadPage())
            return false;
    }
}

bool TSpeexDataSource::FillBuffer()
{
    if (mEndOfStream)
        return false;
    ogg_packet packet;
    for (;;) {
        if (!NextPacket(packet))
            return false;
        if (packet.bytes >= 5 && std::memcmp(packet.packet, "Speex", 5) == 0)
            mSerial = mStream.serialno;
        // Packets of other streams in the file, or before the Speex stream is known.
        if (mSerial != -1 && mStream.serialno == mSerial)
            break;
    }
    if (mPacketCount == 0) {
        if (!ProcessHeader(packet))
            return false;
    } else if (mPacketCount == 1) {
        // The comment packet.
    } else if (mPacketCount <= mExtraHeaders + 1) {
        if (!ProcessExtraHeader(packet))
            return false;
    } else if (!DecodeAudio(packet)) {
        return false;
    }
    ++mPacketCount;
    return true;
}

bool TSpeexDataSource::ProcessHeader(const ogg_packet& packet)
{
    if (packet.bytes > kMaxPacketBytes)
        return false;
    SpeexHeader* header =
        speex_packet_to_header(reinterpret_cast<char*>(packet.packet), static_cast<int>(packet.bytes));
    if (!header) {
        WriteDbg("Speex file %s: unreadable header", mName.c_str());
        return false;
    }
    std::unique_ptr<SpeexHeader, void (*)(void*)> hold(header, speex_header_free);
    if (header->mode < 0 || header->mode >= SPEEX_NB_MODES || header->speex_version_id > 1) {
        WriteDbg("Speex file %s: unknown mode %d", mName.c_str(), header->mode);
        return false;
    }
    const SpeexMode* mode = header->mode == 0 ? &speex_nb_mode : speex_lib_get_mode(header->mode);
    if (!mode)
        return false;
    if (mode->bitstream_version < header->mode_bitstream_version) {
        WriteDbg("The file was encoded with a newer version of Speex. You need to upgrade in order to play it.");
        return false;
    }
    if (mode->bitstream_version > header->mode_bitstream_version) {
        WriteDbg("The file was encoded with an older version of Speex. You need to upgrade your encoder before it will "
                 "work with Gantrimole.");
        return false;
    }
    // Checked before anything is sized from them: the output buffer depends on all three.
    int frames = header->frames_per_packet == 0 ? 1 : header->frames_per_packet;
    if (header->nb_channels < 1 || header->nb_channels > 2 || frames < 1 || frames > kMaxFramesPerPacket ||
        header->rate < 1 || header->rate > kMaxRate || header->extra_headers < 0 ||
        header->extra_headers > kMaxExtraHeaders) {
        WriteDbg("Speex file %s: header out of range (%d channels, %d frames per packet, %d Hz, %d extra headers)",
                 mName.c_str(), header->nb_channels, header->frames_per_packet, header->rate, header->extra_headers);
        return false;
    }
    void* decoder = speex_decoder_init(mode);
    if (!decoder) {
        WriteDbg("Decoder initialization failed.");
        return false;
    }
    int enhance = 1;
    speex_decoder_ctl(decoder, SPEEX_SET_ENH, &enhance);
    int frameSize = 0;
    speex_decoder_ctl(decoder, SPEEX_GET_FRAME_SIZE, &frameSize);
    if (frameSize <= 0 || frameSize > 4096) {
        speex_decoder_destroy(decoder);
        return false;
    }
    mFrameSize = frameSize;
    mFramesPerPacket = frames;
    mRate = header->rate;
    mChannels = header->nb_channels;
    mOutput.assign(static_cast<size_t>(frames) * frameSize * mChannels, 0);
    mOutputBytes = 0;
    mOutputOffset = 0;
    mOutputReady = false;
    if (mChannels == 2) {
        SpeexCallback callback = {};
        callback.callback_id = SPEEX_INBAND_STEREO;
        callback.func = speex_std_stereo_request_handler;
        callback.data = mStereo;
        speex_decoder_ctl(decoder, SPEEX_SET_HANDLER, &callback);
    }
    mExtraHeaders = header->extra_headers;
    mDecoder = decoder;
    return true;
}

bool TSpeexDataSource::ProcessExtraHeader(const ogg_packet& packet)
{
    static const char kTag[] = "WAVESIZE:";
    constexpr long kTagLength = sizeof kTag - 1;
    if (packet.bytes < kTagLength || std::memcmp(packet.packet, kTag, kTagLength) != 0)
        return true;
    // The packet is not terminated: copy the digits out before converting them.
    char digits[32];
    long n = std::min<long>(packet.bytes - kTagLength, sizeof digits - 1);
    std::memcpy(digits, packet.packet + kTagLength, static_cast<size_t>(n));
    digits[n] = 0;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(digits, &end, 10);
    if (end == digits || errno != 0 || value < 0 || value > INT_MAX) {
        WriteDbg("Speex file %s: bad WAVESIZE header \"%s\"", mName.c_str(), digits);
        return false;
    }
    mRawLength = static_cast<int>(value);
    return true;
}

bool TSpeexDataSource::DecodeAudio(const ogg_packet& packet)
{
    if (packet.e_o_s)
        mEndOfStream = true;
    if (!mDecoder || packet.bytes > kMaxPacketBytes) {
        WriteDbg("Decoding error: corrupted stream?");
        return false;
    }
    speex_bits_read_from(&mBits, reinterpret_cast<char*>(packet.packet), static_cast<int>(packet.bytes));
    const unsigned frameSamples = static_cast<unsigned>(mFrameSize * mChannels);
    unsigned decoded = 0;
    for (int j = 0; j < mFramesPerPacket; ++j) {
        spx_int16_t* out = mOutput.data() + static_cast<size_t>(j) * frameSamples;
        int r = speex_decode_int(mDecoder, &mBits, out);
        if (r == -1) {
            mEndOfStream = true;
            break;
        }
        if (r == -2) {
            WriteDbg("Decoding error: corrupted stream?");
            return false;
        }
        if (speex_bits_remaining(&mBits) < 0) {
            WriteDbg("Decoding overflow: corrupted stream?");
            return false;
        }
        if (mChannels == 2)
            speex_decode_stereo_int(out, mFrameSize, mStereo);
        decoded += frameSamples;
    }
    mOutputBytes = decoded * 2;
    mOutputOffset = 0;
    mOutputReady = mOutputBytes > 0;
    return true;
}

unsigned int TSpeexDataSource::Pull(unsigned char* dst, unsigned int length)
{
    unsigned int copied = 0;
    while (copied < length) {
        if (!mOutputReady) {
            // Header packets give no output; every call consumes a packet or fails.
            if (!FillBuffer())
                break;
            continue;
        }
        unsigned int n = std::min(length - copied, mOutputBytes - mOutputOffset);
        if (dst)
            std::memcpy(dst + copied, reinterpret_cast<unsigned char*>(mOutput.data()) + mOutputOffset, n);
        mOutputOffset += n;
        copied += n;
        if (mOutputOffset >= mOutputBytes)
            mOutputReady = false;
    }
    mPosition += copied;
    return copied;
}

unsigned int TSpeexDataSource::Read(void* dst, unsigned int offset, unsigned int length)
{
    TMutexLock hold(TLockSoundMutex::mMutex);
    if (!mFile.IsValid())
        return 0;
    if (offset != mPosition) {
        // Decoding only goes forward: rewind when asked for earlier data, then skip.
        if (offset < mPosition)
            Reset();
        while (mPosition < offset) {
            unsigned int step = static_cast<unsigned int>(std::min<uint64_t>(offset - mPosition, 65536));
            if (Pull(nullptr, step) < step)
                return 0;
        }
    }
    return Pull(static_cast<unsigned char*>(dst), length);
}

std::shared_ptr<TSoundDataSource> TSpeexDataSourceBuilder::Create(const str& name, bool direct)
{
    auto source = std::make_shared<TSpeexDataSource>();
    if (!source->InitFromFile(name))
        return nullptr;
    if (direct || source->GetSeconds() >= kSoundMemoryDecodeLimit)
        return source;
    return std::make_shared<TMemDataSource>(source);
}
