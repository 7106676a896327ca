// Arithmetic, comparisons and small vector helpers of the particle machine.

#include "particles/machine/particle_functions.h"
#include "particles/machine/particle_trig.h"

#include <cmath>

namespace {

uint8_t FirstSize(int argCount, const uint8_t* argSizes)
{
    return argCount >= 1 && argSizes ? argSizes[0] : 0;
}

// b as n floats: components past its own size read as 0, never as whatever lies beyond it.
void ReadAsSize(const TParticleMachineState& machine, unsigned arg, unsigned n, float* out)
{
    const float* b = machine.Arg(arg);
    const unsigned own = machine.ArgSize(arg);
    for (unsigned i = 0; i < n; ++i)
        out[i] = i < own ? b[i] : 0.0f;
}

// a op b component by component over a's size, b read as that many floats.
template <class Op>
bool PushPairwise(TParticleMachineState& machine, Op op)
{
    if (machine.ArgCount() != 2)
        return false;
    const unsigned n = machine.ArgSize(0);
    const float* a = machine.Arg(0);
    float b[4];
    ReadAsSize(machine, 1, n, b);
    float out[4];
    for (unsigned i = 0; i < n; ++i)
        out[i] = op(a[i], b[i]);
    return machine.Push(out, n);
}

// a op b for every component of a, with b a single number.
template <class Op>
bool PushScaled(TParticleMachineState& machine, Op op)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(1) != 1)
        return false;
    const unsigned n = machine.ArgSize(0);
    const float* a = machine.Arg(0);
    const float b = machine.Arg(1)[0];
    float out[4];
    for (unsigned i = 0; i < n; ++i)
        out[i] = op(a[i], b);
    return machine.Push(out, n);
}

}  // namespace

TParticleFunction* FTimeScaleDynamicCreate()
{
    return new FTimeScale;
}
TParticleFunction* FAddDynamicCreate()
{
    return new FAdd;
}
TParticleFunction* FSubDynamicCreate()
{
    return new FSub;
}
TParticleFunction* FMulDynamicCreate()
{
    return new FMul;
}
TParticleFunction* FDivDynamicCreate()
{
    return new FDiv;
}
TParticleFunction* FUnmDynamicCreate()
{
    return new FUnm;
}
TParticleFunction* FDistanceDynamicCreate()
{
    return new FDistance;
}
TParticleFunction* FLtDynamicCreate()
{
    return new FLt;
}
TParticleFunction* FLeDynamicCreate()
{
    return new FLe;
}
TParticleFunction* FAlphaDynamicCreate()
{
    return new FAlpha;
}
TParticleFunction* F2dRotationDynamicCreate()
{
    return new F2dRotation;
}

uint8_t FTimeScale::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return FirstSize(argCount, argSizes);
}

bool FTimeScale::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 1)
        return false;
    const float seconds = static_cast<float>(particle.mElapsed) / 1000.0f;
    const unsigned n = machine.ArgSize(0);
    const float* v = machine.Arg(0);
    float out[4];
    for (unsigned i = 0; i < n; ++i)
        out[i] = v[i] * seconds;
    return machine.Push(out, n);
}

uint8_t FAdd::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return FirstSize(argCount, argSizes);
}

bool FAdd::Process(TParticleState&, TParticleMachineState& machine)
{
    return PushPairwise(machine, [](float a, float b) { return a + b; });
}

uint8_t FSub::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return FirstSize(argCount, argSizes);
}

bool FSub::Process(TParticleState&, TParticleMachineState& machine)
{
    return PushPairwise(machine, [](float a, float b) { return a - b; });
}

uint8_t FMul::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return FirstSize(argCount, argSizes);
}

bool FMul::Process(TParticleState&, TParticleMachineState& machine)
{
    return PushScaled(machine, [](float a, float b) { return a * b; });
}

uint8_t FDiv::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return FirstSize(argCount, argSizes);
}

bool FDiv::Process(TParticleState&, TParticleMachineState& machine)
{
    return PushScaled(machine, [](float a, float b) { return a / b; });
}

uint8_t FUnm::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return FirstSize(argCount, argSizes);
}

bool FUnm::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 1)
        return false;
    const unsigned n = machine.ArgSize(0);
    const float* a = machine.Arg(0);
    float out[4];
    for (unsigned i = 0; i < n; ++i)
        out[i] = -a[i];
    return machine.Push(out, n);
}

uint8_t FDistance::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FDistance::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2)
        return false;
    const unsigned n = machine.ArgSize(0);
    const float* a = machine.Arg(0);
    float b[4];
    ReadAsSize(machine, 1, n, b);
    double sum = 0;
    for (unsigned i = 0; i < n; ++i) {
        const double d = static_cast<double>(a[i]) - static_cast<double>(b[i]);
        sum += d * d;
    }
    return machine.Push(static_cast<float>(std::sqrt(sum)));
}

uint8_t FLt::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FLt::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(0) != 1 || machine.ArgSize(1) != 1)
        return false;
    return machine.Push(machine.Arg(0)[0] < machine.Arg(1)[0] ? 1.0f : 0.0f);
}

uint8_t FLe::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FLe::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(0) != 1 || machine.ArgSize(1) != 1)
        return false;
    return machine.Push(machine.Arg(0)[0] <= machine.Arg(1)[0] ? 1.0f : 0.0f);
}

uint8_t FAlpha::GetReturnSize(int, const uint8_t*) const
{
    return 4;
}

bool FAlpha::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(0) < 3)
        return false;
    const float* color = machine.Arg(0);
    const float out[4] = {color[0], color[1], color[2], machine.Arg(1)[0]};
    return machine.Push(out, 4);
}

uint8_t F2dRotation::GetReturnSize(int, const uint8_t*) const
{
    return 2;
}

bool F2dRotation::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 1 || machine.ArgSize(0) != 1)
        return false;
    float out[2];
    particle_trig::CosSin(machine.Arg(0)[0], &out[0], &out[1]);
    return machine.Push(out, 2);
}
