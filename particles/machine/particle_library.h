#pragma once
// The Lua side of every particle system, run once in each new particle state as
// "particles.lua": blend constants, expression values and their operators, member methods
// (member:Init, member:Anim), Spawn, Value/Vec2/Vec3/Color, generators, timeouts and helpers.

extern const char kParticleLibrarySource[];
