// Particle functions that draw from the particle systems' shared random generator.

#include "core/system/random.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_functions.h"

#include <cmath>

namespace {

// [0, 1) from one 32-bit draw.
double UnitFrom32(TRandom& random)
{
    return static_cast<double>(random.Rand32()) / 4294967296.0;
}

}  // namespace

TParticleFunction* FRangeDynamicCreate()
{
    return new FRange;
}
TParticleFunction* FPickDynamicCreate()
{
    return new FPick;
}
TParticleFunction* F2dRadiusDynamicCreate()
{
    return new F2dRadius;
}

uint8_t FRange::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return argCount >= 1 && argSizes ? argSizes[0] : 0;
}

bool FRange::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(0) != machine.ArgSize(1))
        return false;
    TRandom& random = TLuaParticleSystem::Random();
    const unsigned n = machine.ArgSize(0);
    const float* a = machine.Arg(0);
    const float* b = machine.Arg(1);
    float out[4];
    for (unsigned i = 0; i < n; ++i)
        out[i] = a[i] + static_cast<float>(UnitFrom32(random)) * (b[i] - a[i]);
    return machine.Push(out, n);
}

uint8_t FPick::GetReturnSize(int argCount, const uint8_t* argSizes) const
{
    return argCount >= 1 && argSizes ? argSizes[0] : 0;
}

bool FPick::Process(TParticleState&, TParticleMachineState& machine)
{
    const unsigned count = machine.ArgCount();
    if (count == 0)
        return false;
    TRandom& random = TLuaParticleSystem::Random();
    const uint32_t high = random.Rand32() >> 5;
    const uint32_t low = random.Rand32() >> 6;
    const double u = (static_cast<double>(high) * 67108864.0 + static_cast<double>(low)) * (1.0 / 9007199254740992.0);
    unsigned pick = static_cast<unsigned>(u * count);
    if (pick >= count)
        pick = count - 1;
    return machine.Push(machine.Arg(pick), machine.ArgSize(pick));
}

uint8_t F2dRadius::GetReturnSize(int, const uint8_t*) const
{
    return 2;
}

bool F2dRadius::Process(TParticleState&, TParticleMachineState& machine)
{
    const unsigned count = machine.ArgCount();
    if (count < 1 || count > 2 || machine.ArgSize(0) != 1 || (count == 2 && machine.ArgSize(1) != 2))
        return false;
    const float r = machine.Arg(0)[0];
    const double angle = 2.0 * 3.1415927 * UnitFrom32(TLuaParticleSystem::Random());
    const float out[2] = {r * static_cast<float>(std::cos(angle)), r * static_cast<float>(std::sin(angle))};
    return machine.Push(out, 2);
}
