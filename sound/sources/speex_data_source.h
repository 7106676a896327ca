#pragma once
// Ogg Speex speech through libogg and the Speex decoder (mono, or stereo coded in band).
// Decodes forward from the file; a read at another offset rewinds and decodes up to it.

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include <ogg/ogg.h>
#include <speex/speex_bits.h>

#include "core/files/file.h"
#include "core/text/str.h"
#include "sound/sources/sound_data_source.h"

struct SpeexStereoState;

class TSpeexDataSource : public TSoundDataSource
{
public:
    // Raw length while no "WAVESIZE:" header has given it.
    static constexpr int kUnknownLength = INT_MAX;

    TSpeexDataSource();
    ~TSpeexDataSource() override;
    TSpeexDataSource(const TSpeexDataSource&) = delete;
    TSpeexDataSource& operator=(const TSpeexDataSource&) = delete;

    unsigned int Read(void* dst, unsigned int offset, unsigned int length) override;
    uint64_t GetRawLength() override;
    int GetBitRate() override { return mRate; }
    int GetChannels() override { return mChannels; }
    double GetSeconds() override;

    // Opens `name` exactly as given and reads the header packets.
    bool InitFromFile(const str& name, bool direct = false);
    // Back to the start of the file, before the headers.
    void Reset();

    // Makes "spx" names decode through this class.
    static void Register();

private:
    bool ReadPage();
    bool NextPacket(ogg_packet& packet);
    bool FillBuffer();
    bool ProcessHeader(const ogg_packet& packet);
    bool ProcessExtraHeader(const ogg_packet& packet);
    bool DecodeAudio(const ogg_packet& packet);
    // Copies (or, for a null dst, skips) up to `length` decoded bytes.
    unsigned int Pull(unsigned char* dst, unsigned int length);

    str mName;
    uint64_t mPosition = 0;  // decoded bytes handed out since the last rewind
    int mPacketCount = 0;
    int mExtraHeaders = 0;
    bool mEndOfStream = false;
    bool mPageHeld = false;
    long mSerial = -1;
    SpeexStereoState* mStereo = nullptr;
    int mFramesPerPacket = 2;
    bool mStreamStarted = false;
    SpeexBits mBits;
    ogg_sync_state mSync;
    ogg_stream_state mStream;
    void* mDecoder = nullptr;
    int mRate = 0;
    int mChannels = 0;
    int mFrameSize = 0;
    TFile mFile;
    std::vector<int16_t> mOutput;
    unsigned int mOutputBytes = 0;  // valid bytes in mOutput
    unsigned int mOutputOffset = 0;
    bool mOutputReady = false;
    int mRawLength = kUnknownLength;
};

class TSpeexDataSourceBuilder : public TSoundDataSourceBuilder
{
public:
    std::shared_ptr<TSoundDataSource> Create(const str& name, bool direct) override;
};

// The game's start-up names the Speex decoder by this.
struct TSpeex
{
    static void Register() { TSpeexDataSource::Register(); }
};
