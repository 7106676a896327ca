#include "sound/manager/stream_spooler.h"

#include <cstring>

TStreamSpooler::TStreamSpooler(std::shared_ptr<TSoundDataSource> source) : mSource(std::move(source)) {}

bool TStreamSpooler::StreamToBuffer(int size, void* buffer, unsigned int* written, bool loop)
{
    *written = 0;
    if (size <= 0)
        return true;
    std::memset(buffer, 0, static_cast<size_t>(size));
    if (!mSource)
        return true;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    uint64_t left = static_cast<uint64_t>(size);
    while (left > 0) {
        const bool fromStart = mPosition == 0;
        uint64_t length = mSource->GetRawLength();
        uint64_t chunk = left;
        bool end = false;
        if (length < mPosition + left) {
            chunk = length > mPosition ? length - mPosition : 0;
            end = true;
        }
        unsigned int got = chunk ? mSource->Read(out + *written, mPosition, static_cast<unsigned int>(chunk)) : 0;
        if (got < chunk) {
            end = true;
            chunk = got;
        }
        mPosition += static_cast<uint32_t>(chunk);
        *written += static_cast<unsigned int>(chunk);
        left -= chunk;
        if (end) {
            // Looping wraps inside this fill, so there is no gap; a source with nothing
            // to give from its start ends the fill instead of spinning.
            if (!loop)
                return false;
            if (fromStart && chunk == 0)
                return true;
            mPosition = 0;
        }
    }
    return true;
}

void TStreamSpooler::SetPosition(float seconds)
{
    if (seconds <= 0.0f || !mSource) {
        mPosition = 0;
        return;
    }
    uint64_t frameBytes = 2u * static_cast<uint64_t>(mSource->GetChannels() > 0 ? mSource->GetChannels() : 1);
    uint64_t frames = static_cast<uint64_t>(static_cast<double>(seconds) * mSource->GetBitRate());
    uint64_t position = frames * frameBytes;
    uint64_t length = mSource->GetRawLength();
    if (position > length)
        position = length;
    if (position > 0xFFFFFFFFu)
        position = (0xFFFFFFFFu / frameBytes) * frameBytes;
    mPosition = static_cast<uint32_t>(position);
}

float TStreamSpooler::GetLength()
{
    return mSource ? static_cast<float>(mSource->GetSeconds()) : 0.0f;
}
