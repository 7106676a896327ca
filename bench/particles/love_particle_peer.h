#pragma once
// Runs the benchmark effect in LÖVE 11's own particle system: writes a game folder (main.lua,
// conf.lua, the particle image) and runs `love <folder>`, reading the per-frame timings and live
// counts it prints.

#include "particle_samples.h"

#include <string>

struct TParticleRun
{
    int count = 0;
    int frames = 0;
    int warmup = 0;
    // Seconds a particle lives: longer than the run, so that the pool stays full.
    double lifeSeconds = 0;
    // False: update only, nothing drawn.
    bool drawing = true;
};

// Empty samples (with a note) when LÖVE is missing or printed nothing.
TParticleSamples RunLoveParticlePeer(const TParticleRun& run, const std::string& imagePath, std::string* note);
