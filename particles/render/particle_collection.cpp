#include "particles/render/particle_collection.h"

#include <algorithm>

TParticleCollection::~TParticleCollection()
{
    ReleaseBuffer();
}

void TParticleCollection::ReleaseBuffer()
{
    mOwnedBuffer.reset();
    mBuffer = nullptr;
    mExternalBuffer = false;
}

void TParticleCollection::InitNumParticles(int capacity, int floatsPerParticle, float* buffer)
{
    ReleaseBuffer();
    mLive.clear();
    mFree.clear();
    mLiveCount = 0;
    if (capacity < 0)
        capacity = 0;
    if (floatsPerParticle < 0)
        floatsPerParticle = 0;
    mCapacity = capacity;
    mStride = floatsPerParticle * static_cast<int>(sizeof(float));
    const size_t floats = static_cast<size_t>(capacity) * static_cast<size_t>(floatsPerParticle);
    if (buffer) {
        mBuffer = buffer;
        mExternalBuffer = true;
    } else {
        mOwnedBuffer.reset(new float[floats > 0 ? floats : 1]());
        mBuffer = mOwnedBuffer.get();
    }
    for (int i = 0; i < capacity; ++i)
        mFree.push_front(mBuffer + static_cast<size_t>(i) * static_cast<size_t>(floatsPerParticle));
}

void TParticleCollection::Reset()
{
    ReleaseBuffer();
    mCapacity = 0;
    mStride = 0;
    mLive.clear();
    mFree.clear();
    mLiveCount = 0;
}

float* TParticleCollection::TakeFree()
{
    if (mFree.empty())
        return nullptr;
    float* record = mFree.front();
    mFree.pop_front();
    mLive.push_front(record);
    ++mLiveCount;
    return record;
}

TParticleList::iterator TParticleCollection::Retire(TParticleList::iterator live)
{
    mFree.push_front(*live);
    --mLiveCount;
    return mLive.erase(live);
}

void TParticleCollection::RetireMarked(const uint8_t* dead)
{
    // The oldest die first, at the back: the records before the first death stay where they are.
    size_t i = static_cast<size_t>(std::find_if(dead, dead + mLive.size(), [](uint8_t d) { return d != 0; }) - dead);
    auto kept = mLive.begin() + static_cast<std::ptrdiff_t>(i);
    for (auto it = kept; it != mLive.end(); ++it, ++i) {
        if (dead[i]) {
            mFree.push_front(*it);
            --mLiveCount;
        } else {
            *kept++ = *it;
        }
    }
    mLive.erase(kept, mLive.end());
}
