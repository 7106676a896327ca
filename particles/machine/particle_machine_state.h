#pragma once
// The state a particle stream runs in: the particle being run (its floats and member layout) and
// the machine's value stack. An instruction's arguments are the values from the write index up
// to the top, in the order they were pushed; its result is pushed at the write index.
//   const float* a = machine.Arg(0);  uint8_t n = machine.ArgSize(0);
//   float out[4] = {...};  return machine.Push(out, n);

#include "core/system/param_set.h"

#include <cstdint>
#include <cstring>

class TLuaParticleSystem;

// 255 slots of 1 to 4 floats each, laid out one after another.
struct TParticleValueStack
{
    static constexpr unsigned kSlots = 255;
    static constexpr unsigned kMaxValueSize = 4;

    // Four spare floats past the last slot: a short value read as a longer one stays inside.
    float mValues[kSlots * kMaxValueSize + kMaxValueSize];
    uint8_t mSizes[kSlots];
    uint32_t mOffsets[kSlots + 1];
};

// One particle while a stream runs on it.
struct TParticleState
{
    // Member sizes and start offsets; shared by every particle of the system.
    const TParamSet* mMembers = nullptr;
    uint32_t mMemberCount = 0;
    float* mData = nullptr;
    // Floats in the particle: the end of its last member.
    uint32_t mFloatCount = 0;
    // Milliseconds of this step (0 while the init stream runs).
    uint32_t mElapsed = 0;
    bool mAlive = true;
};

class TParticleMachineState
{
public:
    TParticleMachineState(TLuaParticleSystem* system, TParticleValueStack* stack) : mSystem(system), mStack(stack) {}

    // Empty stack: nothing below the top is ever read, so only the first offset matters.
    void Clear()
    {
        mWriteIndex = 0;
        mTop = 0;
        mArgCount = 0;
        mStack->mOffsets[0] = 0;
    }

    unsigned ArgCount() const { return mArgCount; }
    const float* Arg(unsigned i) const { return mStack->mValues + mStack->mOffsets[mWriteIndex + i]; }
    uint8_t ArgSize(unsigned i) const { return mStack->mSizes[mWriteIndex + i]; }
    // Floats in all arguments together (they lie one after another).
    uint32_t ArgFloats() const { return mStack->mOffsets[mTop] - mStack->mOffsets[mWriteIndex]; }

    // Puts a value at the write index; write index and top move past it. `values` may lie in
    // the arguments. False (nothing pushed) when the stack is full or the size is over 4.
    bool Push(const float* values, unsigned size)
    {
        if (mWriteIndex >= TParticleValueStack::kSlots || size > TParticleValueStack::kMaxValueSize)
            return false;
        const uint32_t at = mStack->mOffsets[mWriteIndex];
        mStack->mSizes[mWriteIndex] = static_cast<uint8_t>(size);
        mStack->mOffsets[mWriteIndex + 1] = at + size;
        std::memmove(mStack->mValues + at, values, size * sizeof(float));
        ++mWriteIndex;
        mTop = mWriteIndex;
        return true;
    }
    bool Push(float value) { return Push(&value, 1); }

    TLuaParticleSystem* mSystem;
    TParticleValueStack* mStack;
    uint8_t mWriteIndex = 0;
    uint8_t mTop = 0;
    uint8_t mCapacity = TParticleValueStack::kSlots;
    uint8_t mArgCount = 0;
};
