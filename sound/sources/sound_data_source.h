#pragma once
// A decoder that yields signed 16-bit PCM (native byte order, channels interleaved) by byte
// offset. Streams read it from the sound thread; one source may serve several streams.

#include <cstdint>
#include <memory>

#include "core/text/str.h"

class TSoundDataSource
{
public:
    virtual ~TSoundDataSource() = default;
    // Copies up to `length` bytes of PCM starting at byte `offset`; returns the bytes written.
    virtual unsigned int Read(void* dst, unsigned int offset, unsigned int length) = 0;
    // Bytes of decoded PCM.
    virtual uint64_t GetRawLength() = 0;
    // Sample rate in Hz.
    virtual int GetBitRate() = 0;
    // 1 or 2.
    virtual int GetChannels() = 0;
    virtual double GetSeconds() = 0;
};

class TSoundDataSourceBuilder
{
public:
    virtual ~TSoundDataSourceBuilder() = default;
    // The source for `name`, empty on failure. `direct`: read the file while playing.
    virtual std::shared_ptr<TSoundDataSource> Create(const str& name, bool direct) = 0;
};

// Shortest sound (seconds) that is not fully decoded into memory when kept in memory.
constexpr double kSoundMemoryDecodeLimit = 2.0;
