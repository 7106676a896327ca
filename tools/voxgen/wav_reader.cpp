#include "tools/voxgen/wav_reader.h"

#include <cstring>

namespace {

uint32_t Le32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const unsigned char* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

}  // namespace

bool ParseWav(const std::vector<unsigned char>& bytes, TWavSound* out, std::string* error)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        *error = "not a WAV file";
        return false;
    }
    bool haveFormat = false;
    TWavSound wav;
    size_t at = 12;
    while (bytes.size() - at >= 8) {
        const unsigned char* chunk = bytes.data() + at;
        // A length past the end is what a synthesiser writing to a pipe leaves: take the rest.
        size_t length = Le32(chunk + 4);
        const size_t left = bytes.size() - at - 8;
        if (length > left)
            length = left;
        const unsigned char* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || Le16(body) != 1 || Le16(body + 14) != 16) {
                *error = "only 16-bit PCM WAV files are read";
                return false;
            }
            wav.channels = Le16(body + 2);
            wav.rate = int(Le32(body + 4));
            if (wav.channels < 1 || wav.channels > 2 || wav.rate < 1000 || wav.rate > 192000) {
                *error = "WAV file with " + std::to_string(wav.channels) + " channels at " + std::to_string(wav.rate) +
                         " Hz";
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                *error = "WAV data before its format";
                return false;
            }
            const size_t frames = length / (2 * size_t(wav.channels));
            wav.samples.resize(frames * size_t(wav.channels));
            for (size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = int16_t(Le16(body + 2 * i));
            *out = std::move(wav);
            return true;
        }
        at += 8 + length + (length & 1);
    }
    *error = haveFormat ? "WAV file without data" : "WAV file without a format";
    return false;
}
