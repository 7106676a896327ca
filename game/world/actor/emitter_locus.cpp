#include "game/world/actor/emitter_locus.h"

TEmitterLocus gEmitterLocus;
TEmitterLocus gEmitterScale;

uint8_t TEmitterLocus::GetReturnSize(int, const uint8_t*) const
{
    return 2;
}

bool TEmitterLocus::Process(TParticleState&, TParticleMachineState& machine)
{
    const float value[2] = {mValue.x, mValue.y};
    machine.Push(value, 2);
    return true;
}

TParticleFunction* TEmitterLocusDynamicCreate()
{
    return new TEmitterLocus;
}
