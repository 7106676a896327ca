#include "particles/render/particle_collection.h"

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
    mLive.splice(mLive.begin(), mFree, mFree.begin());
    ++mLiveCount;
    return mLive.front();
}

TParticleList::iterator TParticleCollection::Retire(TParticleList::iterator live)
{
    TParticleList::iterator next = std::next(live);
    mFree.splice(mFree.begin(), mLive, live);
    --mLiveCount;
    return next;
}
