#pragma once
// Encodes 16-bit mono samples as an Ogg Speex file with a "WAVESIZE:" extra header holding
// the byte length of the decoded sound.

#include <cstdint>
#include <string>
#include <vector>

// Samples at another rate than 8000 or 16000 Hz are resampled to 16000 Hz (wide band).
std::vector<unsigned char> EncodeOggSpeex(const std::vector<int16_t>& mono, int rate);

// Linear interpolation; enough for speech.
std::vector<int16_t> Resample(const std::vector<int16_t>& samples, int from, int to);
