// Rendering: lengths, release tails, loops, panning and clipping.

#include "tools/soundgen/sound_description.h"
#include "tools/soundgen/tone_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

TSoundDescription Parse(const std::string& text)
{
    TSoundDescription d;
    std::string error;
    EXPECT_TRUE(ParseSoundDescription("test.snd", text, &d, &error)) << error;
    return d;
}

int Peak(const std::vector<int16_t>& s, size_t first, size_t last, size_t step = 1, size_t offset = 0)
{
    int peak = 0;
    for (size_t i = first * step + offset; i < last * step && i < s.size(); i += step)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

TEST(ToneSynth, TheReleaseSoundsAfterTheNote)
{
    const TSoundDescription d = Parse("rate 8000\nenvelope 0 0 1 0.25\ntone 100 1\n");
    EXPECT_EQ(RenderedFrames(d), 10000u);
    const std::vector<int16_t> s = RenderSound(d);
    ASSERT_EQ(s.size(), 10000u);
    EXPECT_GT(Peak(s, 8000, 8400), 25000) << "the tail starts at full level";
    EXPECT_LT(Peak(s, 9900, 10000), 1700) << "and dies away";
}

TEST(ToneSynth, ALoopIsExactlyItsTimelineAndWrapsItsTail)
{
    const TSoundDescription d = Parse("rate 8000\nloop\nenvelope 0 0 1 0.5\ntone 100 1\n");
    EXPECT_EQ(RenderedFrames(d), 8000u);
    const std::vector<int16_t> wrapped = RenderSound(d);
    const std::vector<int16_t> plain = RenderSound(Parse("rate 8000\nenvelope 0 0 1 0.5\ntone 100 1\n"));
    ASSERT_EQ(wrapped.size(), 8000u);
    // The release tail lands on top of the start, so the start differs from the plain render.
    int differing = 0;
    for (size_t i = 0; i < 4000; ++i)
        differing += wrapped[i] != plain[i];
    EXPECT_GT(differing, 1000);
    int same = 0;
    for (size_t i = 4100; i < 8000; ++i)
        same += wrapped[i] == plain[i];
    EXPECT_EQ(same, 3900);
}

TEST(ToneSynth, PanPutsTheSoundOnOneSide)
{
    const std::vector<int16_t> left = RenderSound(Parse("rate 8000\nchannels 2\npan -1\ntone 200 0.5\n"));
    ASSERT_EQ(left.size() % 2, 0u);
    const size_t frames = left.size() / 2;
    EXPECT_GT(Peak(left, 0, frames, 2, 0), 30000);
    EXPECT_EQ(Peak(left, 0, frames, 2, 1), 0);
    const std::vector<int16_t> middle = RenderSound(Parse("rate 8000\nchannels 2\ntone 200 0.5\n"));
    EXPECT_EQ(Peak(middle, 0, frames, 2, 0), Peak(middle, 0, frames, 2, 1));
}

TEST(ToneSynth, LoudMixesClipInsteadOfWrappingAround)
{
    const std::vector<int16_t> s = RenderSound(Parse("rate 8000\nwave square\nchord A3 A3 A3 1\n"));
    ASSERT_FALSE(s.empty());
    // Three full-scale squares in phase: every sample in the held part sits at full scale.
    for (size_t i = 100; i < 3800; ++i)
        ASSERT_EQ(std::abs(int(s[i])), 32767) << i;
}

TEST(ToneSynth, NoiseIsTheSameOnEveryRun)
{
    const TSoundDescription d = Parse("wave noise\ntone 1 0.2\n");
    EXPECT_EQ(RenderSound(d), RenderSound(d));
    EXPECT_GT(Peak(RenderSound(d), 0, 4000), 20000);
}

}  // namespace
