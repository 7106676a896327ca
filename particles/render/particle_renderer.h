#pragma once
// How a particle system draws its particles. A renderer declares the members it reads in every
// particle (a Lua string that the system runs, calling Allocate), gives the values each new
// particle starts from, and draws the live particles in one go.
//   TParticleRenderer* r = new T2dParticleRenderer;
//   system.Draw(TVec3(400, 300, 0));   // calls r->Draw(origin, alpha, live, capacity)

#include "core/math/vec.h"
#include "core/text/str.h"

#include <deque>
#include <memory>

class TTexture;

// Particles are float records in one pool; lists hold pointers to their first floats. Both ends
// take and give records in constant time, and a walk over the list reads pointers from a few
// large blocks instead of chasing one node per particle.
using TParticleList = std::deque<float*>;

class TParticleRenderer
{
public:
    virtual ~TParticleRenderer() = default;

    // `capacity` is the pool's size, so buffers can be sized once for the whole pool.
    virtual void Draw(const TVec3& origin, float alpha, const TParticleList& live, int capacity) = 0;
    virtual void SetTexture(std::shared_ptr<TTexture> texture) = 0;
    virtual void SetRendererOption(const str& name, const float values[4]) = 0;
    virtual const float* GetPrototypeParticle() const = 0;
    virtual int GetPrototypeParticleSize() const = 0;
    virtual str GetLuaInitString() const = 0;
};
