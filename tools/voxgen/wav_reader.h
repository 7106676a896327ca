#pragma once
// Reads the 16-bit PCM WAV files the speech synthesiser writes.

#include <cstdint>
#include <string>
#include <vector>

struct TWavSound
{
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
};

// False with a reason in *error for anything but little-endian 16-bit PCM, 1 or 2 channels.
bool ParseWav(const std::vector<unsigned char>& bytes, TWavSound* out, std::string* error);
