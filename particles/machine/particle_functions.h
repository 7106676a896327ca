#pragma once
// The particle machine's functions. Each class has a creation function named after it with
// "DynamicCreate" appended; the particle system enters them in its function map.
// "n" below is the size of the first argument.

#include "core/math/vec.h"
#include "particles/machine/particle_function.h"

#include <type_traits>

// A function with no state of its own.
#define TV_PARTICLE_FUNCTION(Name)                                                                                     \
    class Name : public TParticleFunction                                                                              \
    {                                                                                                                  \
        TV_CLASS(Name, TParticleFunction)                                                                              \
                                                                                                                       \
    public:                                                                                                            \
        uint8_t GetReturnSize(int argCount, const uint8_t* argSizes) const override;                                   \
        bool Process(TParticleState& particle, TParticleMachineState& machine) override;                               \
    };                                                                                                                 \
    TParticleFunction* Name##DynamicCreate();

// value, base, size: copies the value into the particle from float `base`.
TV_PARTICLE_FUNCTION(FAssign)
// v: v x elapsed seconds.
TV_PARTICLE_FUNCTION(FTimeScale)
// c: non-zero c ends the particle after this run; pushes 1, else 0.
TV_PARTICLE_FUNCTION(FExpire)
// The elapsed milliseconds of this step.
TV_PARTICLE_FUNCTION(FAge)
// 1 to 4 arguments: a value of that many floats, taken from the start of the arguments.
TV_PARTICLE_FUNCTION(FVec)
// a + b, a - b (b read as n floats).
TV_PARTICLE_FUNCTION(FAdd)
TV_PARTICLE_FUNCTION(FSub)
// a * b, a / b with b a single number.
TV_PARTICLE_FUNCTION(FMul)
TV_PARTICLE_FUNCTION(FDiv)
// -a.
TV_PARTICLE_FUNCTION(FUnm)
// |a - b|.
TV_PARTICLE_FUNCTION(FDistance)
// Writes its arguments to the debug log; pushes nothing.
TV_PARTICLE_FUNCTION(FDebug)
// color (3 or more), alpha: (r, g, b, alpha).
TV_PARTICLE_FUNCTION(FAlpha)
// value[k], 1-based.
TV_PARTICLE_FUNCTION(FVIndex)
// member[k], 1-based: the particle's float base + k - 1, or a data source's component k.
TV_PARTICLE_FUNCTION(FIndex)
// base, k, v: writes v at the particle's float base + k - 1; pushes v.
TV_PARTICLE_FUNCTION(FNewIndex)
// a < b, a <= b: 1 or 0.
TV_PARTICLE_FUNCTION(FLt)
TV_PARTICLE_FUNCTION(FLe)
// a, b: a random point between them, each component on its own.
TV_PARTICLE_FUNCTION(FRange)
// One of the arguments, each equally likely.
TV_PARTICLE_FUNCTION(FPick)
// t, c1, d1, c2, d2, ..., cK: c1 for d1, fading into c2 over d1, and so on; holds cK.
TV_PARTICLE_FUNCTION(FFade)
// r: a point at distance r in a random direction.
TV_PARTICLE_FUNCTION(F2dRadius)
// a (radians): (cos a, sin a).
TV_PARTICLE_FUNCTION(F2dRotation)

// a, b, count: steps from a towards b, one step per execution (particle after particle, frame
// after frame); open never reaches b, closed reaches b on its last step.
class FOpenCycle : public TParticleFunction
{
    TV_CLASS(FOpenCycle, TParticleFunction)

public:
    uint8_t GetReturnSize(int argCount, const uint8_t* argSizes) const override;
    bool Process(TParticleState& particle, TParticleMachineState& machine) override;

    int mCounter = 0;

protected:
    bool Step(TParticleMachineState& machine, bool closed);
};
TParticleFunction* FOpenCycleDynamicCreate();

class FClosedCycle : public FOpenCycle
{
    TV_CLASS(FClosedCycle, FOpenCycle)

public:
    bool Process(TParticleState& particle, TParticleMachineState& machine) override;
};
TParticleFunction* FClosedCycleDynamicCreate();

// A constant: float, TVec2, TVec3 or TVec4.
template <class T>
class FPush : public TParticleFunction
{
public:
    static constexpr unsigned kSize = sizeof(T) / sizeof(float);

    TV_CLASS_ID_FUNCTION
    const char* GetTypeName() const override { return "FPush"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TParticleFunction::IsKindOf(id); }

    explicit FPush(const float* values)
    {
        for (unsigned i = 0; i < kSize; ++i)
            mValue[i] = values[i];
    }
    uint8_t GetReturnSize(int, const uint8_t*) const override { return kSize; }
    bool Process(TParticleState&, TParticleMachineState& machine) override { return machine.Push(mValue, kSize); }

    float mValue[kSize];
};

// A member of the particle (base >= 0) or a data source (base = -its number) used as a value.
class FGetParticleParam : public TParticleFunction
{
    TV_CLASS(FGetParticleParam, TParticleFunction)

public:
    FGetParticleParam(int16_t base, uint16_t size) : mBase(base), mSize(size) {}
    uint8_t GetReturnSize(int argCount, const uint8_t* argSizes) const override;
    bool Process(TParticleState& particle, TParticleMachineState& machine) override;

    int16_t mBase;
    uint16_t mSize;
};
