#pragma once
// Encodes 16-bit samples as an Ogg Vorbis file.

#include <cstdint>
#include <string>
#include <vector>

// `samples` interleaved, `channels` 1 or 2. Written through a temporary file; false with a
// reason in *error when the encoder refuses the format or the file cannot be written.
bool WriteOggVorbis(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate, float quality,
                    std::string* error);
