#pragma once
// Runs the benchmark scene in LÖVE 11: writes a game folder (main.lua, conf.lua, the sprite
// image) and runs `love <folder>` under the same video driver, reading the frame rate it prints.

#include <string>

// The scene both programs draw: `count` sprites of a 32 × 32 image placed, rotated and faded by
// the same pseudo-random sequence, for `seconds` after `warmup` frames.
struct TSceneParams
{
    int count = 0;
    int warmup = 20;
    double seconds = 3.0;
};

// Frames per second, or a negative value when LÖVE is missing or printed nothing.
double RunLovePeer(const TSceneParams& scene, const std::string& imagePath, std::string* note);
