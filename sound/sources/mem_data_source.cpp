#include "sound/sources/mem_data_source.h"

#include <algorithm>
#include <cstring>

#include "sound/sources/sound_lock_mutex.h"

TMemDataSource::TMemDataSource(const std::shared_ptr<TSoundDataSource>& source)
{
    if (!source)
        return;
    mChannels = source->GetChannels();
    mRate = source->GetBitRate();
    mSeconds = source->GetSeconds();
    // The claimed length comes from the file: grow with what really decodes, so a damaged
    // header can neither make us allocate gigabytes nor leave undecoded bytes behind.
    const uint64_t claimed = std::min<uint64_t>(source->GetRawLength(), 0xFFFF0000u);
    constexpr unsigned kChunk = 65536;
    uint64_t have = 0;
    while (have < claimed) {
        unsigned want = static_cast<unsigned>(std::min<uint64_t>(kChunk, claimed - have));
        mData.resize(have + want);
        unsigned got = source->Read(mData.data() + have, static_cast<unsigned>(have), want);
        have += std::min(got, want);
        if (got < want)
            break;
    }
    mData.resize(have);
    mData.shrink_to_fit();
}

unsigned int TMemDataSource::Read(void* dst, unsigned int offset, unsigned int length)
{
    TMutexLock hold(TLockSoundMutex::mMutex);
    if (offset >= mData.size())
        return 0;
    unsigned n = static_cast<unsigned>(std::min<uint64_t>(length, mData.size() - offset));
    std::memcpy(dst, mData.data() + offset, n);
    return n;
}
