// Particle functions over time and sequence: fades, cycles, age, expiry, and the debug dump.

#include "core/debug/debug_log.h"
#include "particles/machine/c_locale_format.h"
#include "particles/machine/particle_functions.h"

TParticleFunction* FExpireDynamicCreate()
{
    return new FExpire;
}
TParticleFunction* FAgeDynamicCreate()
{
    return new FAge;
}
TParticleFunction* FFadeDynamicCreate()
{
    return new FFade;
}
TParticleFunction* FOpenCycleDynamicCreate()
{
    return new FOpenCycle;
}
TParticleFunction* FClosedCycleDynamicCreate()
{
    return new FClosedCycle;
}
TParticleFunction* FDebugDynamicCreate()
{
    return new FDebug;
}

uint8_t FExpire::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FExpire::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 1 || machine.ArgSize(0) != 1)
        return false;
    if (machine.Arg(0)[0] != 0) {
        particle.mAlive = false;
        return machine.Push(1.0f);
    }
    return machine.Push(0.0f);
}

uint8_t FAge::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FAge::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 0)
        return false;
    return machine.Push(static_cast<float>(particle.mElapsed));
}

uint8_t FFade::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return argCount >= 2 && argSizes ? argSizes[1] : 0;
}

bool FFade::Process(TParticleState&, TParticleMachineState& machine)
{
    const unsigned count = machine.ArgCount();
    if (count < 2 || machine.ArgSize(0) != 1)
        return false;
    // Values (odd positions) share the first value's size; durations (even positions) are numbers.
    const unsigned n = machine.ArgSize(1);
    for (unsigned i = 2; i < count; ++i)
        if (machine.ArgSize(i) != (i % 2 == 1 ? n : 1u))
            return false;
    float t = machine.Arg(0)[0];
    if (t < 0)
        t = 0;
    unsigned at = 1;
    while (at + 2 < count) {
        const float d = machine.Arg(at + 1)[0];
        if (d > t) {
            const float* from = machine.Arg(at);
            const float* to = machine.Arg(at + 2);
            const float f = t / d;
            float out[4];
            for (unsigned i = 0; i < n; ++i)
                out[i] = from[i] + (to[i] - from[i]) * f;
            return machine.Push(out, n);
        }
        t -= d;
        at += 2;
    }
    // Past every duration, or a trailing duration with no value after it: hold the last value.
    return machine.Push(machine.Arg(at), n);
}

uint8_t FOpenCycle::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FOpenCycle::Step(TParticleMachineState& machine, bool closed)
{
    if (machine.ArgCount() != 3 || machine.ArgSize(0) != machine.ArgSize(1) || machine.ArgSize(2) != 1)
        return false;
    const float a = machine.Arg(0)[0];
    const float b = machine.Arg(1)[0];
    const float count = machine.Arg(2)[0];
    const float t = static_cast<float>(mCounter) / (closed ? count - 1 : count);
    const bool pushed = machine.Push(a + (b - a) * t);
    mCounter += 1;
    // Also ends a count that is NaN.
    if (!(static_cast<float>(mCounter) < count))
        mCounter = 0;
    return pushed;
}

bool FOpenCycle::Process(TParticleState&, TParticleMachineState& machine)
{
    return Step(machine, false);
}

bool FClosedCycle::Process(TParticleState&, TParticleMachineState& machine)
{
    return Step(machine, true);
}

uint8_t FDebug::GetReturnSize(int, const uint8_t*) const
{
    return 0;
}

bool FDebug::Process(TParticleState&, TParticleMachineState& machine)
{
    str text;
    for (unsigned a = 0; a < machine.ArgCount(); ++a) {
        text += "(";
        const float* v = machine.Arg(a);
        for (unsigned i = 0; i < machine.ArgSize(a); ++i) {
            if (i > 0)
                text += ",";
            text += CLocaleFormat("%f", static_cast<double>(v[i]));
        }
        text += ")";
    }
    WriteDbg("Particle Values: %s", text.c_str());
    return true;
}
