#pragma once
// The fixed pool of one particle system: equal-size float records in one buffer, a list of live
// records (newest first) and a list of free ones. Records move between the lists without being
// copied or allocated.
//   TParticleCollection pool;
//   pool.InitNumParticles(100, 10, nullptr);
//   if (float* p = pool.TakeFree()) { ...fill p... }
//   for (auto it = pool.Live().begin(); it != pool.Live().end();) it = dead ? pool.Retire(it) : ++it;

#include "particles/render/particle_renderer.h"

#include <memory>

class TParticleCollection
{
public:
    TParticleCollection() = default;
    virtual ~TParticleCollection();
    TParticleCollection(const TParticleCollection&) = delete;
    TParticleCollection& operator=(const TParticleCollection&) = delete;

    // With a buffer the caller keeps it (it must hold capacity x floatsPerParticle floats);
    // without one the collection allocates its own. Every slot starts free, the last slot first.
    void InitNumParticles(int capacity, int floatsPerParticle, float* buffer);
    void Reset();

    int GetCount() const { return mLiveCount; }
    int GetCapacity() const { return mCapacity; }
    // Bytes per particle.
    int GetStride() const { return mStride; }
    float* GetBuffer() const { return mBuffer; }

    const TParticleList& Live() const { return mLive; }
    TParticleList& Live() { return mLive; }
    const TParticleList& Free() const { return mFree; }

    // Moves the first free record to the front of the live list; null when none is free.
    float* TakeFree();
    // Moves a live record to the front of the free list; returns the next live position.
    TParticleList::iterator Retire(TParticleList::iterator live);

private:
    void ReleaseBuffer();

    float* mBuffer = nullptr;
    std::unique_ptr<float[]> mOwnedBuffer;
    int mCapacity = 0;
    int mStride = 0;
    bool mExternalBuffer = false;
    TParticleList mLive;
    TParticleList mFree;
    int mLiveCount = 0;
};
