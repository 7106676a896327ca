#include "tools/soundgen/tone_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Envelope level `t` seconds after the note started.
double EnvelopeLevel(const TToneEvent& e, double t)
{
    const TEnvelope& env = e.envelope;
    auto held = [&env](double at) {
        if (at < env.attack)
            return at / env.attack;
        if (at < env.attack + env.decay)
            return 1.0 - (1.0 - env.sustain) * (at - env.attack) / env.decay;
        return env.sustain;
    };
    if (t < e.length)
        return held(t);
    if (env.release <= 0)
        return 0;
    const double fade = 1.0 - (t - e.length) / env.release;
    return fade > 0 ? held(e.length) * fade : 0;
}

// Deterministic, so the same description always makes the same file.
class TNoise
{
public:
    explicit TNoise(uint32_t seed) : mState(seed * 2654435761u + 1) {}
    double Next()
    {
        mState = mState * 1664525u + 1013904223u;
        return (mState >> 8) / double(1u << 23) - 1.0;
    }

private:
    uint32_t mState;
};

double WaveValue(EWave wave, double phase, TNoise& noise)
{
    switch (wave) {
    case EWave::kSine: return std::sin(2 * std::numbers::pi * phase);
    case EWave::kSquare: return phase < 0.5 ? 1.0 : -1.0;
    case EWave::kTriangle: return phase < 0.5 ? 4 * phase - 1 : 3 - 4 * phase;
    case EWave::kSaw: return 2 * phase - 1;
    case EWave::kNoise: return noise.Next();
    }
    return 0;
}

}  // namespace

size_t RenderedFrames(const TSoundDescription& d)
{
    double end = d.timeline;
    if (!d.loop) {
        for (const TToneEvent& e : d.events)
            end = std::max(end, e.start + e.length + e.envelope.release);
    }
    return static_cast<size_t>(std::llround(end * d.rate));
}

std::vector<int16_t> RenderSound(const TSoundDescription& d)
{
    const size_t frames = RenderedFrames(d);
    const size_t channels = static_cast<size_t>(d.channels);
    std::vector<float> mix(frames * channels, 0.0f);
    if (frames == 0)
        return {};
    uint32_t seed = 1;
    for (const TToneEvent& e : d.events) {
        TNoise noise(seed++);
        const double gainLeft = d.channels == 2 ? std::min(1.0, 1.0 - e.pan) : 1.0;
        const double gainRight = std::min(1.0, 1.0 + e.pan);
        const auto first = static_cast<size_t>(std::llround(e.start * d.rate));
        const auto count = static_cast<size_t>(std::llround((e.length + e.envelope.release) * d.rate));
        double phase = 0;
        for (size_t i = 0; i < count; ++i) {
            const double t = double(i) / d.rate;
            const double glide = std::min(1.0, t / e.length);
            const double hz = e.fromHz + (e.toHz - e.fromHz) * glide;
            const double value = WaveValue(e.wave, phase, noise) * EnvelopeLevel(e, t) * e.volume;
            phase += hz / d.rate;
            phase -= std::floor(phase);
            size_t frame = first + i;
            if (frame >= frames) {
                if (!d.loop)
                    break;
                frame %= frames;
            }
            mix[frame * channels] += static_cast<float>(value * gainLeft);
            if (channels == 2)
                mix[frame * channels + 1] += static_cast<float>(value * gainRight);
        }
    }
    std::vector<int16_t> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(std::clamp(double(mix[i]), -1.0, 1.0) * 32767.0));
    return out;
}
