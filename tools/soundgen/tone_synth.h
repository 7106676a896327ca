#pragma once
// Renders a sound description into 16-bit samples.

#include "tools/soundgen/sound_description.h"

#include <cstdint>
#include <vector>

// Interleaved signed 16-bit samples (channels from the description), clipped at full scale.
std::vector<int16_t> RenderSound(const TSoundDescription& description);

// Frames the rendered sound holds: the timeline for a loop, else up to the last release's end.
size_t RenderedFrames(const TSoundDescription& description);
