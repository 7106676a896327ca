// Functions that move values between the particle, the data sources and the stack.

#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_functions.h"
#include "particles/machine/particle_index_math.h"

#include <cmath>

using particle_index::Truncated;
using particle_index::ZeroBased;

TParticleFunction* FAssignDynamicCreate()
{
    return new FAssign;
}
TParticleFunction* FVecDynamicCreate()
{
    return new FVec;
}
TParticleFunction* FVIndexDynamicCreate()
{
    return new FVIndex;
}
TParticleFunction* FIndexDynamicCreate()
{
    return new FIndex;
}
TParticleFunction* FNewIndexDynamicCreate()
{
    return new FNewIndex;
}

uint8_t FGetParticleParam::GetReturnSize(int, const uint8_t*) const
{
    return static_cast<uint8_t>(mSize);
}

bool FGetParticleParam::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (mBase < 0) {
        TParticleFunction* source = machine.mSystem->GetDataSource(-mBase);
        return source && source->Process(particle, machine);
    }
    if (static_cast<uint32_t>(mBase) + mSize > particle.mFloatCount)
        return false;
    return machine.Push(particle.mData + mBase, mSize);
}

uint8_t FAssign::GetReturnSize(int, const uint8_t*) const
{
    return 0;
}

bool FAssign::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 3 || machine.ArgSize(1) != 1 || machine.ArgSize(2) != 1)
        return false;
    const int base = Truncated(machine.Arg(1)[0]);
    const uint32_t size = machine.ArgSize(0);
    if (base < 0 || static_cast<uint32_t>(base) + size > particle.mFloatCount)
        return false;
    const float* value = machine.Arg(0);
    float* target = particle.mData + base;
    for (uint32_t i = 0; i < size; ++i)
        target[i] = value[i];
    return true;
}

uint8_t FVec::GetReturnSize(int argCount, const uint8_t*) const
{
    return argCount >= 1 && argCount <= 4 ? static_cast<uint8_t>(argCount) : 0;
}

bool FVec::Process(TParticleState&, TParticleMachineState& machine)
{
    const unsigned count = machine.ArgCount();
    if (count < 1 || count > 4 || machine.ArgFloats() < count)
        return false;
    return machine.Push(machine.Arg(0), count);
}

uint8_t FVIndex::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FVIndex::Process(TParticleState&, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(1) != 1)
        return false;
    const int i = ZeroBased(machine.Arg(1)[0]);
    if (i < 0 || i >= machine.ArgSize(0))
        return false;
    return machine.Push(machine.Arg(0)[i]);
}

uint8_t FIndex::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FIndex::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 2 || machine.ArgSize(0) != 1 || machine.ArgSize(1) != 1)
        return false;
    const int base = Truncated(machine.Arg(0)[0]);
    const float k = machine.Arg(1)[0];
    const int i = ZeroBased(k);
    const int kPrinted = Truncated(k);
    if (base < 0) {
        TParticleFunction* source = machine.mSystem->GetDataSource(-base);
        if (!source)
            return false;
        if (i < 0 || i >= source->GetReturnSize(0, nullptr)) {
            TLuaParticleSystem::ReportFailure(str::getFormatted("Out of range parameter index [%d] when indexing %s",
                                                                kPrinted, source->mName.c_str()),
                                              581);
            return machine.Push(0.0f);
        }
        // The source pushes where this function's result goes; one component of it is kept.
        const uint8_t at = machine.mWriteIndex;
        const uint8_t top = machine.mTop;
        const uint8_t count = machine.mArgCount;
        machine.mTop = at;
        machine.mArgCount = 0;
        float component = 0;
        if (source->Process(particle, machine) && machine.mWriteIndex == at + 1 && i < machine.mStack->mSizes[at])
            component = machine.mStack->mValues[machine.mStack->mOffsets[at] + static_cast<uint32_t>(i)];
        machine.mWriteIndex = at;
        machine.mTop = top;
        machine.mArgCount = count;
        return machine.Push(component);
    }
    const int j = (base & 0xFF) + i;
    if (i < 0 || j >= static_cast<int>(particle.mFloatCount)) {
        TLuaParticleSystem::ReportFailure(str::getFormatted("Out of range parameter index [%d]", kPrinted), 607);
        return true;
    }
    return machine.Push(particle.mData[j]);
}

uint8_t FNewIndex::GetReturnSize(int, const uint8_t*) const
{
    return 1;
}

bool FNewIndex::Process(TParticleState& particle, TParticleMachineState& machine)
{
    if (machine.ArgCount() != 3 || machine.ArgSize(0) != 1 || machine.ArgSize(1) != 1 || machine.ArgSize(2) != 1)
        return false;
    const int base = Truncated(machine.Arg(0)[0]);
    const int i = ZeroBased(machine.Arg(1)[0]);
    if (base < 0 || i < 0 || base + i >= static_cast<int>(particle.mFloatCount))
        return false;
    const float v = machine.Arg(2)[0];
    particle.mData[base + i] = v;
    return machine.Push(v);
}
