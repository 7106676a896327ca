#pragma once
// The fixed pool of one particle system: equal-size float records in one buffer, a list of live
// records (newest first) and a list of free ones. Records move between the lists without being
// copied or allocated.
//   TParticleCollection pool;
//   pool.InitNumParticles(100, 10, nullptr);
//   if (float* p = pool.TakeFree()) { ...fill p... }
//   pool.RetireMarked(dead);   // dead[i] for the i-th live record, front first

#include "particles/render/particle_renderer.h"

#include <cstdint>
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
    // Moves a live record to the front of the free list; returns the next live position. The
    // records behind it move up: for many at once use RetireMarked.
    TParticleList::iterator Retire(TParticleList::iterator live);
    // Moves every live record whose flag is set (one flag per live record, in list order) to the
    // front of the free list, in list order, as Retire called on each in turn would; the others
    // keep their order.
    void RetireMarked(const uint8_t* dead);

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
