#pragma once
// Runs the benchmark effect in LÖVE 11's own particle system: writes a game folder (main.lua,
// conf.lua, the particle image) and runs `love <folder>`, reading the timings it prints.

#include <string>

struct TLoveParticleResult
{
    double updateMs = -1;  // per frame
    double drawMs = -1;    // per frame, drawing and presenting
    // The same as medians over the frames: steadier on a busy machine.
    double updateMedianMs = -1;
    double drawMedianMs = -1;
};

// Negative times (with a note) when LÖVE is missing or printed nothing.
TLoveParticleResult RunLoveParticlePeer(int count, int frames, const std::string& imagePath, std::string* note);
