#pragma once
// Reads a data source's PCM in order for one stream, wrapping to the start when looping.

#include <cstdint>
#include <memory>

#include "sound/sources/sound_data_source.h"

class TStreamSpooler
{
public:
    explicit TStreamSpooler(std::shared_ptr<TSoundDataSource> source);
    virtual ~TStreamSpooler() = default;

    // Zero-fills `size` bytes of `buffer`, then copies up to `size` bytes of PCM into it;
    // *written gets the count. False once the end was reached without looping.
    virtual bool StreamToBuffer(int size, void* buffer, unsigned int* written, bool loop);
    // Only rewinding (0) is ever asked for; other times go to the nearest frame.
    virtual void SetPosition(float seconds);
    virtual float GetLength();
    virtual void Reset() { SetPosition(0.0f); }

    const std::shared_ptr<TSoundDataSource>& GetSource() const { return mSource; }
    uint32_t GetPosition() const { return mPosition; }

private:
    std::shared_ptr<TSoundDataSource> mSource;
    uint32_t mPosition = 0;
};
