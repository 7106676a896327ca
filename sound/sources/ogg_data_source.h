#pragma once
// Ogg Vorbis through vorbisfile: from the file while playing (direct), or from a compressed
// copy of the whole file held in memory.

#include <cstdint>
#include <memory>

#include "core/text/str.h"
#include "sound/sources/sound_data_source.h"

struct OggVorbis_File;

class TOggDataSource : public TSoundDataSource
{
public:
    TOggDataSource() = default;
    ~TOggDataSource() override;
    TOggDataSource(const TOggDataSource&) = delete;
    TOggDataSource& operator=(const TOggDataSource&) = delete;

    unsigned int Read(void* dst, unsigned int offset, unsigned int length) override;
    uint64_t GetRawLength() override { return mRawLength; }
    int GetBitRate() override { return mRate; }
    int GetChannels() override { return mChannels; }
    double GetSeconds() override { return mSeconds; }

    // Opens `name` (or `name` + ".ogg") and reads its stream information.
    virtual bool InitFromFile(const str& name, bool direct);

    // Makes "ogg" names decode through this class.
    static void Register();

private:
    int mRate = 0;
    int mChannels = 0;
    double mSeconds = 0.0;
    uint64_t mRawLength = 0;
    OggVorbis_File* mVorbis = nullptr;  // owned; null until opened
    uint32_t mPosition = 0;
};

class TOggDataSourceBuilder : public TSoundDataSourceBuilder
{
public:
    std::shared_ptr<TSoundDataSource> Create(const str& name, bool direct) override;
};
