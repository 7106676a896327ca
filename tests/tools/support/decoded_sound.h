#pragma once
// A sound file the tools wrote, decoded whole by one of the engine's data sources
// (TOggDataSource, TSpeexDataSource); the test program links the sound sources.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct TDecoded
{
    int rate = 0;
    int channels = 0;
    double seconds = 0;
    std::vector<int16_t> samples;  // interleaved
};

// False when the file does not open or decodes short.
template <class Source>
bool DecodeWith(const std::string& path, TDecoded* out)
{
    Source source;
    if (!source.InitFromFile(("::" + path).c_str(), false))
        return false;
    out->rate = source.GetBitRate();
    out->channels = source.GetChannels();
    out->seconds = source.GetSeconds();
    const uint64_t bytes = source.GetRawLength();
    out->samples.assign(bytes / 2, 0);
    unsigned got = 0;
    while (got < bytes) {
        const unsigned n = source.Read(reinterpret_cast<char*>(out->samples.data()) + got, got,
                                       static_cast<unsigned>(std::min<uint64_t>(8192, bytes - got)));
        if (n == 0)
            break;
        got += n;
    }
    return got == bytes;
}
