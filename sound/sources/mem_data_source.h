#pragma once
// The fully decoded PCM of another source, held in memory.

#include <cstdint>
#include <memory>
#include <vector>

#include "sound/sources/sound_data_source.h"

class TMemDataSource : public TSoundDataSource
{
public:
    // Decodes `source` from its start; keeps as many bytes as it actually yields.
    explicit TMemDataSource(const std::shared_ptr<TSoundDataSource>& source);

    unsigned int Read(void* dst, unsigned int offset, unsigned int length) override;
    uint64_t GetRawLength() override { return mData.size(); }
    int GetBitRate() override { return mRate; }
    int GetChannels() override { return mChannels; }
    double GetSeconds() override { return mSeconds; }

private:
    std::vector<unsigned char> mData;
    int mChannels = 0;
    int mRate = 0;
    double mSeconds = 0.0;
};
