#pragma once
// One operation of the particle machine. Each instruction of a compiled stream calls one
// function object; it reads its arguments from the machine's stack, checks their count and
// sizes, and pushes at most one value. False means the arguments did not fit: the rest of the
// stream is skipped for that particle on that run.
//   class FHalf : public TParticleFunction { TV_CLASS(FHalf, TParticleFunction) ... };

#include "core/system/class_id.h"
#include "core/text/str.h"
#include "particles/machine/particle_machine_state.h"

#include <cstdint>

class TParticleFunction
{
    TV_CLASS_ROOT(TParticleFunction)

public:
    virtual ~TParticleFunction() = default;

    // Per-frame hook.
    virtual void InitFrame() {}
    // Floats in the value the function pushes (0: none), for these argument sizes; what the
    // compiler answers for the expression.
    virtual uint8_t GetReturnSize(int argCount, const uint8_t* argSizes) const = 0;
    virtual bool Process(TParticleState& particle, TParticleMachineState& machine) = 0;

    // Set when the function is found by name or registered as a data source.
    str mName;
};

// Makes a new function object; the factories of the particle system's function map.
using TParticleFunctionFactory = TParticleFunction* (*)();
