#pragma once
// Test fixtures made on the spot: tones encoded with the Vorbis and Speex encoders, served
// to the file layer as memory files or written to a temporary folder, and a few measures of
// decoded PCM.

#include <cstdint>
#include <string>
#include <vector>

#include "core/text/str.h"

class TSoundDataSource;

namespace soundtest {

using Bytes = std::vector<unsigned char>;
using Pcm = std::vector<int16_t>;

// Interleaved 16-bit sine; in stereo the right channel has half the left's amplitude.
Pcm MakeTone(double frequency, double seconds, int rate, int channels, double amplitude = 0.5);

Bytes EncodeVorbis(const Pcm& pcm, int rate, int channels, float quality = 0.5f);

struct SpeexOptions
{
    int rate = 8000;  // 8000: narrow band, 16000: wide band
    int channels = 1;
    int framesPerPacket = 1;
    bool waveSize = false;     // add a "WAVESIZE:" extra header
    std::string waveSizeText;  // its text after "WAVESIZE:"; empty: the PCM's byte count
    // Header fields written as given (for damaged files); INT32_MIN keeps the real value.
    int32_t headerChannels = INT32_MIN;
    int32_t headerFrames = INT32_MIN;
    int32_t headerExtraHeaders = INT32_MIN;
    int32_t headerMode = INT32_MIN;
    int32_t headerRate = INT32_MIN;
};
Bytes EncodeSpeex(const Pcm& pcm, const SpeexOptions& options);

// Serves `bytes` under the logical name for the rest of the process.
void AddMemoryFixture(const str& name, Bytes bytes);
// Writes `bytes` to a file of that name in a temporary folder; returns its "::" name.
str AddDiskFixture(const std::string& fileName, const Bytes& bytes);

// Reads a source from its start in chunks of `chunk` bytes until a short read.
Bytes ReadAll(TSoundDataSource& source, unsigned int chunk = 65536);
const int16_t* Samples(const Bytes& bytes);
std::size_t SampleCount(const Bytes& bytes);

// RMS of one channel of interleaved samples.
double Rms(const int16_t* samples, std::size_t frames, int channels, int channel);
// Frequency from rising zero crossings of one channel.
double ToneFrequency(const int16_t* samples, std::size_t frames, int channels, int channel, int rate);

}  // namespace soundtest
