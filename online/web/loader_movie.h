#pragma once
// The small movie the host's page embeds: it loads the movie named in its "swf" variable
// into a level of its own and, once that movie has played its last frame, sends the page to
// the address in "endurl", which is how the host learns that the movie ended.

#include "core/text/str.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kLoaderMovieSize = 1498;
// The byte holding the whole part of the frame rate.
constexpr size_t kLoaderFrameRateOffset = 18;
constexpr uint8_t kLoaderFrameRate = 30;
constexpr uint8_t kSlowLoaderFrameRate = 12;

// The loader at its usual frame rate: an uncompressed movie file of version 6 with 3 frames.
const std::vector<uint8_t>& LoaderMovie();
// Intros and outros were made for the slower rate.
uint8_t LoaderFrameRateFor(const str& moviePath);
