#pragma once
// Per-frame timings of one side of the particle benchmark, and the statistics printed from them
// (the same code for the engine and the peer, so both sides are summed up alike).

#include <algorithm>
#include <climits>
#include <numeric>
#include <vector>

struct TParticleSamples
{
    // Milliseconds per timed frame: the update alone and the whole frame (update, draw, present),
    // as wall time and as the process's CPU time (every thread of it).
    std::vector<double> updateWall, updateCpu, frameWall, frameCpu;
    // Live particles seen over the timed frames.
    int liveMin = INT_MAX;
    int liveMax = -1;

    void AddLive(int live)
    {
        liveMin = std::min(liveMin, live);
        liveMax = std::max(liveMax, live);
    }
    bool Empty() const { return updateWall.empty(); }
};

inline double Mean(const std::vector<double>& values)
{
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}
