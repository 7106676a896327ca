#pragma once
// A particle data source holding one point: where an actor's effect is emitted ("dLocus") or
// how large it is drawn ("dScale"). The two program-wide instances are shared by every actor;
// each actor writes its own values into them just before its effect is updated or drawn.
//   system.RegisterDataSource("dLocus", &gEmitterLocus);
//   gEmitterLocus.mValue = TVec2(320, 410);

#include "core/math/vec.h"
#include "particles/machine/particle_function.h"

class TEmitterLocus : public TParticleFunction
{
    TV_CLASS(TEmitterLocus, TParticleFunction)

public:
    uint8_t GetReturnSize(int argCount, const uint8_t* argSizes) const override;
    bool Process(TParticleState& particle, TParticleMachineState& machine) override;

    TVec2 mValue{400, 300};
};

TParticleFunction* TEmitterLocusDynamicCreate();

extern TEmitterLocus gEmitterLocus;
extern TEmitterLocus gEmitterScale;
